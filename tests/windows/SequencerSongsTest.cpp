// Patterns saved, listed and played as a song through the main window.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QToolButton>
#include <QUndoStack>

#include "common/Files.h"
#include "pattern/Sequencer.h"
#include "pattern/StepGridView.h"
#include "render/Unit1.h"
#include "support/WindowTest.h"

namespace {
class SequencerSongs : public ::testing::Test {
 protected:
  SequencerSongs() { ShowAndActivate(sequence); }
  std::vector<std::string> Rows(QListWidget* list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list->count(); ++i) rows.push_back(list->item(i)->text().toStdString());
    return rows;
  }
  // The demo songs and patterns in the home folder.
  void CopyTheDemo() {
    for (const auto& file :
         std::filesystem::directory_iterator(KORVANTO_TEST_SOURCE_DIR "/data/demo"))
      std::filesystem::copy_file(file.path(), home / file.path().filename().string());
  }
  // ...and Demo.sng opened through File › Open Song.
  void OpenTheDemoSong() {
    CopyTheDemo();
    home.prompts.paths.push_back((home / "Demo.sng").string());
    sequence.BitBtn8Click();
  }
  WindowTestHome home;
  TSequence sequence;
};
}  // namespace

TEST_F(SequencerSongs, SavingANamedPatternWritesItAndListsItOnce) {
  sequence.Edit2->setText("drums");
  sequence.Grid().SetCell(1, 2, "Kick      [ ]");
  sequence.ToolButton14->click();
  sequence.ToolButton14->click();
  EXPECT_EQ(ReadTextLines(home / "drums.pat").size(), 199u);
  EXPECT_EQ(Rows(sequence.SongList), std::vector<std::string>{"drums"});
  EXPECT_EQ(Rows(sequence.MusicLib), (std::vector<std::string>{"<Blank>", "drums"}));
}

TEST_F(SequencerSongs, SavingWithoutANameAsksForOneAndLeavingItEmptySavesNothing) {
  sequence.Edit2->setText("");
  home.prompts.typed = {std::string{}};
  sequence.ToolButton14->click();  // an empty answer
  sequence.ToolButton14->click();  // cancelled
  ASSERT_EQ(home.prompts.textQuestions.size(), 2u);
  EXPECT_EQ(home.prompts.textQuestions[0].text, "Name of pattern?");
  EXPECT_EQ(home.prompts.textQuestions[0].caption, "NAME");
  EXPECT_TRUE(home.prompts.messages.empty());
  EXPECT_EQ(sequence.SongList->count(), 0);
}

TEST_F(SequencerSongs, TheTypedNameNamesThePatternAfterAFileNameIsRefused) {
  sequence.Edit2->setText("");
  sequence.Grid().SetCell(1, 2, "Kick      [ ]");
  home.prompts.typed = {std::string{"Verse 1/2"}, std::string{"Verse 1"}};
  sequence.ToolButton14->click();
  ASSERT_EQ(home.prompts.textQuestions.size(), 2u);
  EXPECT_NE(home.prompts.textQuestions[1].text.find("Name of pattern?"), std::string::npos);
  EXPECT_NE(home.prompts.textQuestions[1].text, "Name of pattern?");  // the reason first
  EXPECT_TRUE(std::filesystem::exists(home / "Verse 1.pat"));
  EXPECT_EQ(sequence.Edit2->text(), "Verse 1");
  EXPECT_EQ(Rows(sequence.SongList), std::vector<std::string>{"Verse 1"});
  sequence.History()->undo();  // joining the list, then the name: two steps
  sequence.History()->undo();
  EXPECT_EQ(sequence.Edit2->text(), "");
}

TEST_F(SequencerSongs, ClickingAPlayListEntryLoadsItIntoTheGrid) {
  sequence.Edit2->setText("eight");
  sequence.TimeBar->setCurrentIndex(3);  // "8  | 8"
  sequence.ToolButton13->click();
  sequence.Grid().SetCell(2, 5, "Snare     [4]");
  sequence.Loop->setValue(3);
  sequence.ToolButton14->click();
  sequence.ToolButton16->click();  // clear
  sequence.TimeBar->setCurrentIndex(0);
  sequence.ToolButton13->click();
  ASSERT_EQ(sequence.SongList->count(), 1);
  QTest::mouseClick(sequence.SongList->viewport(), Qt::LeftButton, {},
                    sequence.SongList->visualItemRect(sequence.SongList->item(0)).center());
  EXPECT_EQ(sequence.Grid().Cell(2, 5), "Snare     [4]");
  EXPECT_EQ(sequence.Grid().RowCount(), 10);
  EXPECT_EQ(sequence.Edit2->text(), "eight");
  EXPECT_EQ(sequence.Loop->value(), 3);
}

TEST_F(SequencerSongs, TheDemoSongOpensAndPlays) {
  OpenTheDemoSong();
  EXPECT_TRUE(home.prompts.messages.empty()) << home.prompts.messages.at(0).text;
  ASSERT_GT(sequence.SongList->count(), 5);
  sequence.SongList->setCurrentRow(0);
  QTest::keyClick(&sequence, Qt::Key_F5);
  EXPECT_TRUE(sequence.Engine().SongPlaying());
  EXPECT_FALSE(sequence.Engine().MainPlay().empty());
  EXPECT_EQ(sequence.Engine().MainPlay().back(), "%%%");
  sequence.ToolButton6->click();  // clearing the play list stops the song
  EXPECT_FALSE(sequence.Engine().SongPlaying());
  EXPECT_EQ(sequence.SongList->count(), 0);
}

TEST_F(SequencerSongs, RenderingFromTheMainWindowWritesTheSong) {
  TForm1 renderWindow;
  renderWindow.SetProgressBar(sequence.ProgressBar1);
  renderWindow.SetStopPressed([&] { return false; });
  sequence.SetRenderWindow(&renderWindow, [] { return SlotSounds{}; });
  sequence.Edit2->setText("beat");
  for (int row = 2; row < 18; row += 4) sequence.Grid().SetCell(1, row, "Kick      [ ]");
  sequence.ToolButton14->click();
  sequence.SongList->setCurrentRow(0);
  home.prompts.paths.push_back((home / "beat.wav").string());
  QTest::keyClick(&sequence, Qt::Key_F11);
  ASSERT_TRUE(std::filesystem::exists(home / "beat.wav"));
  // 16 steps at 120 ms: two seconds of 44100 Hz, 16-bit stereo, and the kick's tail.
  EXPECT_GT(std::filesystem::file_size(home / "beat.wav"), 44u + 16 * 0.12 * 44100 * 4);
  EXPECT_TRUE(sequence.ToolButton1->isEnabled());
  EXPECT_TRUE(sequence.Engine().MainPlay().empty());
}

TEST_F(SequencerSongs, ASongNamedAtStartIsOpenedWithoutADialog) {
  CopyTheDemo();
  sequence.OpenSongAtStart("Demo.sng");
  EXPECT_TRUE(home.prompts.fileRequests.empty());
  EXPECT_GT(sequence.SongList->count(), 5);
  sequence.OpenSongAtStart("Missing.sng");
  ASSERT_EQ(home.prompts.messages.size(), 1u);
  EXPECT_EQ(home.prompts.messages[0].text, "Cannot open file Missing.sng");
}

// Playing and rendering read the pattern files; the grid the user edits keeps
// its unsaved work, its name, length, time and loop count.
TEST_F(SequencerSongs, PlayingAndRenderingTheSongLeaveTheEditedGridAlone) {
  TForm1 renderWindow;
  renderWindow.SetProgressBar(sequence.ProgressBar1);
  renderWindow.SetStopPressed([&] { return false; });
  sequence.SetRenderWindow(&renderWindow, [] { return SlotSounds{}; });
  sequence.Edit2->setText("saved");
  sequence.Grid().SetCell(1, 2, "Kick      [ ]");
  sequence.ToolButton14->click();
  // Unsaved work: another name, length, time, loop count and cells.
  sequence.Edit2->setText("unsaved");
  sequence.TimeBar->setCurrentIndex(7);  // "4  | 2 "
  sequence.ToolButton13->click();
  sequence.Loop->setValue(5);
  sequence.Grid().SetCell(3, 4, "Snare     [2]");
  const PatternGrid edited = sequence.Grid();
  auto expectEditedGrid = [&](const char* after) {
    for (int row = 0; row < 20; ++row)
      for (int col = 0; col < 7; ++col)
        EXPECT_EQ(sequence.Grid().Cell(col, row), edited.Cell(col, row)) << after << col << row;
    EXPECT_EQ(sequence.Grid().RowCount(), 6) << after;
    EXPECT_EQ(sequence.Edit2->text(), "unsaved") << after;
    EXPECT_EQ(sequence.Loop->value(), 5) << after;
  };

  QTest::keyClick(&sequence, Qt::Key_F5);
  EXPECT_TRUE(sequence.Engine().SongPlaying());
  expectEditedGrid("play song ");
  QTest::keyClick(&sequence, Qt::Key_F8);

  home.prompts.paths.push_back((home / "song.wav").string());
  QTest::keyClick(&sequence, Qt::Key_F11);
  ASSERT_TRUE(std::filesystem::exists(home / "song.wav"));
  expectEditedGrid("render ");
}

// One selection: the entry the user highlighted, by mouse or keys, survives
// every refresh, and the song starts there.
TEST_F(SequencerSongs, ThePlayListSelectionSurvivesEveryRefresh) {
  for (const auto& [name, tempo] : {std::pair{"one", 50}, {"two", 70}, {"three", 90}}) {
    sequence.Edit2->setText(name);
    sequence.Delay->setValue(tempo);
    sequence.DelayChange();
    sequence.ToolButton14->click();
  }
  ASSERT_EQ(Rows(sequence.SongList), (std::vector<std::string>{"one", "two", "three"}));
  QTest::mouseClick(sequence.SongList->viewport(), Qt::LeftButton, {},
                    sequence.SongList->visualItemRect(sequence.SongList->item(0)).center());
  QTest::keyClick(sequence.SongList, Qt::Key_Down);
  ASSERT_EQ(sequence.SongList->currentRow(), 1);

  sequence.Edit2->setText("four");
  sequence.ToolButton14->click();  // saved and appended
  EXPECT_EQ(sequence.SongList->currentRow(), 1);
  sequence.MusicLib->setCurrentRow(1);
  sequence.BitBtn1->click();  // added from the library
  EXPECT_EQ(sequence.SongList->currentRow(), 1);
  sequence.SongList->item(0)->setCheckState(Qt::Checked);
  sequence.SongBin->click();  // the entry before it removed
  EXPECT_EQ(sequence.SongList->currentItem()->text(), "two");

  QTest::keyClick(&sequence, Qt::Key_F5);
  ASSERT_GE(sequence.Engine().MainPlay().size(), 2u);
  EXPECT_EQ(sequence.Engine().MainPlay()[1], "70");  // the song starts at "two"
}

// While the song plays the status bar tells the entry, its pass and the time,
// counted as the render counts it; Stop clears it.
TEST_F(SequencerSongs, TheStatusBarFollowsThePlayingEntryItsPassAndTheTime) {
  for (const auto& [name, loops] : {std::pair{"drums", 2}, {"fill", 1}}) {
    sequence.Edit2->setText(name);
    sequence.Delay->setValue(50);  // 100 ms steps, 16 a pass
    sequence.DelayChange();
    sequence.Loop->setValue(loops);
    sequence.ToolButton14->click();
  }
  QTest::keyClick(&sequence, Qt::Key_F5);
  QLabel* entry = nullptr;
  for (auto* label : sequence.findChildren<QLabel*>())
    if (label->accessibleName() == "Entry playing") entry = label;
  QLabel* time = nullptr;
  for (auto* label : sequence.findChildren<QLabel*>())
    if (label->accessibleName() == "Song time") time = label;
  ASSERT_TRUE(entry && time);
  const auto tickUntil = [&](const QString& text) {
    for (int tick = 0; tick < 60 && entry->text() != text; ++tick)
      sequence.Engine().DXTimer1Timer();
    return entry->text();
  };
  EXPECT_EQ(tickUntil("1/2 drums, pass 1 of 2"), "1/2 drums, pass 1 of 2");
  EXPECT_EQ(tickUntil("1/2 drums, pass 2 of 2"), "1/2 drums, pass 2 of 2");
  EXPECT_EQ(time->text(), "0:01.6 / 0:04.8");
  EXPECT_EQ(tickUntil("2/2 fill"), "2/2 fill");
  EXPECT_EQ(time->text(), "0:03.2 / 0:04.8");
  QTest::keyClick(&sequence, Qt::Key_F8);
  EXPECT_EQ(entry->text(), "");
  EXPECT_EQ(time->text(), "");
}

// An error met inside a song step is shown once in a message box, after the
// step, and the song goes on.
TEST_F(SequencerSongs, AStepErrorIsShownOnceAndTheSongGoesOn) {
  sequence.ToolButton8->click();  // repeat play list
  sequence.Engine().MainPlay() = {"//", "fast", "", "", "", "", "", "", "%%%"};
  sequence.Engine().DXTimer1().SetInterval(5);
  sequence.Engine().DXTimer1().SetEnabled(true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !home.prompts.messages.empty(); }, 5000));
  QTest::qWait(100);  // the song goes round again and again
  EXPECT_TRUE(sequence.Engine().SongPlaying());
  ASSERT_EQ(home.prompts.messages.size(), 1u);
  EXPECT_EQ(home.prompts.messages[0].text, "'fast' is not a valid integer value");
  QTest::keyClick(&sequence, Qt::Key_F8);
}

// The title names the song and stars unsaved play list changes; the name box
// marks a grid that differs from its pattern file.
TEST_F(SequencerSongs, TheTitleAndTheNameBoxShowWhatIsNotSaved) {
  CopyTheDemo();
  EXPECT_EQ(sequence.windowTitle(), "Korvanto Pro v6.0[*]");
  home.prompts.paths.push_back((home / "Demo.sng").string());
  sequence.BitBtn8Click();
  EXPECT_EQ(sequence.windowTitle(), "Korvanto - Demo.sng[*]");
  EXPECT_FALSE(sequence.isWindowModified());
  sequence.SongList->setCurrentRow(1);
  sequence.UpDownUp->click();
  EXPECT_TRUE(sequence.isWindowModified());
  sequence.UpDownDown->click();  // back where the file has it
  EXPECT_FALSE(sequence.isWindowModified());

  EXPECT_EQ(sequence.Edit2->toolTip(), "Pattern Name");
  Click(sequence.StringGrid1, sequence.StringGrid1->CellRect(2, 3).center());
  EXPECT_EQ(sequence.Edit2->toolTip(), "Pattern Name *");
  EXPECT_TRUE(sequence.Edit2->font().italic());
  sequence.Edit2->setText("mine");
  sequence.ToolButton14->click();
  EXPECT_EQ(sequence.Edit2->toolTip(), "Pattern Name");
  EXPECT_TRUE(sequence.isWindowModified());  // saving a new pattern appended it to the list
}

// A playing song shows the tempos it plays; the pattern being edited keeps
// its own, unsaved changes and all, and closing after listening asks only
// about that.
TEST_F(SequencerSongs, PlayingASongKeepsThePatternsOwnTempo) {
  OpenTheDemoSong();
  Click(sequence.StringGrid1, sequence.StringGrid1->CellRect(2, 3).center());
  sequence.Delay->setValue(75);  // the user's own tempo for the grid's pattern
  sequence.DelayChange();
  const QString shown = sequence.Label6->text();
  QTest::keyClick(&sequence, Qt::Key_F5);
  // Until a pattern of another tempo plays.
  ASSERT_TRUE(QTest::qWaitFor([&] { return sequence.Label6->text() != shown; }, 20000));
  QTest::keyClick(&sequence, Qt::Key_F8);
  EXPECT_EQ(sequence.Delay->value(), 75);
  EXPECT_EQ(sequence.Song().Values().tempoPosition, 75);
  home.prompts.messages.clear();
  home.prompts.answers = {PromptAnswer::Cancel};
  EXPECT_FALSE(sequence.close());
  ASSERT_EQ(home.prompts.messages.size(), 1u);
  EXPECT_EQ(home.prompts.messages[0].text, "Save changes to the pattern in the grid?");
}

// Closing with unsaved work asks, as desktop programs do: Cancel keeps the
// window, Save saves and closes.
TEST_F(SequencerSongs, ClosingWithUnsavedWorkAsksToSaveIt) {
  sequence.Edit2->setText("beat");
  sequence.Grid().SetCell(1, 2, "Kick      [ ]");
  sequence.ToolButton14->click();  // the pattern saved, the play list changed
  home.prompts.messages.clear();
  home.prompts.answers = {PromptAnswer::Cancel};
  EXPECT_FALSE(sequence.close());
  ASSERT_EQ(home.prompts.messages.size(), 1u);
  EXPECT_EQ(home.prompts.messages[0].text, "Save changes to the new song?");
  EXPECT_EQ(home.prompts.messages[0].buttons, PromptButtons::SaveDiscardCancel);
  EXPECT_TRUE(sequence.isVisible());

  home.prompts.answers = {PromptAnswer::Save};
  home.prompts.paths.push_back((home / "beat.sng").string());
  EXPECT_TRUE(sequence.close());
  EXPECT_EQ(ReadTextLines(home / "beat.sng")[0], "beat");
}

// Save Song writes the song's own file without a dialog; Save Song As asks,
// the dialog asking before it replaces a file, and a song never lands in a
// file of another kind. Saving the grid under another pattern's name asks.
TEST_F(SequencerSongs, SavesReplaceOnlyWhatTheUserMeans) {
  OpenTheDemoSong();
  sequence.SongList->setCurrentRow(1);
  sequence.UpDownUp->click();
  home.prompts.fileRequests.clear();
  QTest::keyClick(&sequence, Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(home.prompts.fileRequests.empty());
  EXPECT_EQ(ReadTextLines(home / "Demo.sng")[0], sequence.Songs().Name(0));
  EXPECT_FALSE(sequence.isWindowModified());

  const auto rock = ReadTextLines(home / "Rock.pat");
  home.prompts.paths.push_back((home / "Rock.pat").string());
  QTest::keyClick(&sequence, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_EQ(home.prompts.fileRequests.size(), 1u);
  EXPECT_TRUE(home.prompts.fileRequests[0].askBeforeOverwrite);
  EXPECT_EQ(home.prompts.messages.back().text,
            "A song is saved as a .sng file, not as 'Rock.pat'.");
  EXPECT_EQ(ReadTextLines(home / "Rock.pat"), rock);

  const auto funk = ReadTextLines(home / "Funk.pat");
  QTest::mouseClick(sequence.SongList->viewport(), Qt::LeftButton, {},
                    sequence.SongList->visualItemRect(sequence.SongList->item(0)).center());
  sequence.Edit2->setText("Funk");
  home.prompts.answers = {PromptAnswer::No};
  sequence.ToolButton14->click();
  EXPECT_EQ(home.prompts.messages.back().text,
            "A pattern named 'Funk' exists. Replace it with the pattern in the grid?");
  EXPECT_EQ(ReadTextLines(home / "Funk.pat"), funk);
}
