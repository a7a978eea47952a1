// The one question before work is replaced, asked by every action that
// replaces the grid's pattern or the song, and what each answer leaves.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QUndoStack>
#include <memory>

#include "common/Files.h"
#include "pattern/Sequencer.h"
#include "pattern/StepGridView.h"
#include "support/WindowTest.h"

namespace {
const std::string kKick = "Kick      [ ]";

// A home with the pattern "groove" and the song "mine.sng" saved, then both
// changed: a cell of the grid, an entry added to the list.
struct EditedWork {
  EditedWork() {
    ShowAndActivate(sequence);
    sequence.Edit2->setText("groove");
    sequence.Grid().SetCell(1, 2, kKick);
    sequence.ToolButton14->click();
    home.prompts.paths.push_back((home / "mine.sng").string());
    sequence.BitBtn9Click();
    sequence.Grid().SetCell(3, 4, kKick);  // the unsaved cell
    sequence.MusicLib->setCurrentRow(1);
    sequence.BitBtn1->click();  // the unsaved entry
    home.prompts.messages.clear();
  }
  void ClickEntry(int row) {
    QTest::mouseClick(sequence.SongList->viewport(), Qt::LeftButton, {},
                      sequence.SongList->visualItemRect(sequence.SongList->item(row)).center());
  }
  std::vector<std::string> Questions() const {
    std::vector<std::string> texts;
    for (const auto& m : home.prompts.messages)
      if (m.buttons == PromptButtons::SaveDiscardCancel) texts.push_back(m.text);
    return texts;
  }
  WindowTestHome home;
  TSequence sequence;
};

const std::string kPatternQuestion = "Save changes to pattern 'groove'?";
const std::string kSongQuestion = "Save changes to 'mine.sng'?";
}  // namespace

TEST(ReplaceWork, EveryReplacingActionAsksAndEachAnswerLeavesWhatItShould) {
  struct Action {
    const char* name;
    std::vector<std::string> questions;
    std::function<void(EditedWork&)> run;
    // What the action did when it went ahead.
    std::function<bool(EditedWork&)> happened;
  };
  const std::vector<Action> actions = {
      {"play list click",
       {kPatternQuestion},
       [](EditedWork& w) { w.ClickEntry(0); },
       [](EditedWork& w) { return !w.sequence.Song().PatternUnsaved(); }},
      {"new song",
       {kPatternQuestion, kSongQuestion},
       [](EditedWork& w) { w.sequence.New_SongClick(); },
       [](EditedWork& w) { return w.sequence.Songs().Count() == 0; }},
      {"open song",
       {kSongQuestion},
       [](EditedWork& w) {
         w.home.prompts.paths.push_back((w.home / "mine.sng").string());
         w.sequence.BitBtn8Click();
       },
       [](EditedWork& w) { return !w.sequence.isWindowModified(); }},
      {"close",
       {kPatternQuestion, kSongQuestion},
       [](EditedWork& w) { w.sequence.close(); },
       [](EditedWork& w) { return !w.sequence.isVisible(); }},
  };
  for (const Action& action : actions) {
    for (const PromptAnswer answer :
         {PromptAnswer::Cancel, PromptAnswer::Discard, PromptAnswer::Save}) {
      SCOPED_TRACE(std::string(action.name) + " / " + std::to_string(static_cast<int>(answer)));
      auto w = std::make_unique<EditedWork>();
      const auto savedPattern = ReadTextLines(w->home / "groove.pat");
      const auto savedSong = ReadTextLines(w->home / "mine.sng");
      const auto listBefore = w->sequence.Songs().Names();
      w->home.prompts.answers.assign(action.questions.size(), answer);
      // A song saved from the question goes to its own file.
      if (answer == PromptAnswer::Save)
        w->home.prompts.paths.push_back((w->home / "mine.sng").string());
      action.run(*w);
      if (answer == PromptAnswer::Cancel) {
        EXPECT_EQ(w->Questions(), std::vector<std::string>{action.questions.front()});
        EXPECT_FALSE(action.happened(*w));
        EXPECT_EQ(w->sequence.Grid().Cell(3, 4), kKick);
        EXPECT_EQ(w->sequence.Songs().Names(), listBefore);
      } else {
        EXPECT_EQ(w->Questions(), action.questions);
        EXPECT_TRUE(action.happened(*w));
      }
      const bool patternSaved = ReadTextLines(w->home / "groove.pat") != savedPattern;
      const bool songSaved = ReadTextLines(w->home / "mine.sng") != savedSong;
      const bool asksPattern = action.questions.front() == kPatternQuestion;
      const bool asksSong = action.questions.back() == kSongQuestion;
      EXPECT_EQ(patternSaved, answer == PromptAnswer::Save && asksPattern);
      EXPECT_EQ(songSaved, answer == PromptAnswer::Save && asksSong);
    }
  }
}

// Clear pattern and New Song empty every step of a long pattern, and undo
// brings every one back.
TEST(ReplaceWork, ClearAndNewSongEmptyAllOfALongPattern) {
  for (const bool newSong : {false, true}) {
    SCOPED_TRACE(newSong ? "new song" : "clear");
    WindowTestHome home;
    TSequence sequence;
    sequence.Grid().ApplyLengthAndTime("999", "4");
    for (int row = 2; row <= 1000; ++row) sequence.Grid().SetCell(1 + row % 6, row, kKick);
    if (newSong)
      sequence.New_SongClick();
    else
      sequence.ToolButton16->click();
    int filled = 0;
    for (int row = 2; row <= 1000; ++row)
      for (int col = 1; col <= 6; ++col) filled += !sequence.Grid().Cell(col, row).empty();
    EXPECT_EQ(filled, 0);
    sequence.UndoAction->trigger();
    EXPECT_EQ(sequence.Grid().Cell(1 + 1000 % 6, 1000), kKick);
  }
}

// Undoing New Song brings back the song's file with its name in the title,
// and the ticks; after Open Song the title names the file, unstarred.
TEST(ReplaceWork, TitleStarAndTicksFollowNewSongAndItsUndo) {
  WindowTestHome home;
  TSequence sequence;
  for (const char* name : {"a", "b"}) {
    sequence.Edit2->setText(name);
    sequence.ToolButton14->click();
  }
  home.prompts.paths.push_back((home / "Mine.sng").string());
  sequence.BitBtn9Click();
  home.prompts.paths.push_back((home / "Mine.sng").string());
  sequence.BitBtn8Click();
  EXPECT_EQ(sequence.windowTitle(), "Korvanto - Mine.sng[*]");
  EXPECT_FALSE(sequence.isWindowModified());
  sequence.SongList->item(1)->setCheckState(Qt::Checked);

  sequence.New_SongClick();
  EXPECT_EQ(sequence.windowTitle(), "Korvanto Pro v6.0[*]");
  sequence.UndoAction->trigger();
  EXPECT_EQ(sequence.windowTitle(), "Korvanto - Mine.sng[*]");
  EXPECT_FALSE(sequence.isWindowModified());
  EXPECT_TRUE(sequence.Songs().Checked(1));
  sequence.RedoAction->trigger();
  sequence.UndoAction->trigger();
  EXPECT_TRUE(sequence.Songs().Checked(1));
}

// An empty, unnamed grid is no work to keep, whatever its tempo and loops.
TEST(ReplaceWork, AnEmptyUnnamedGridIsNoWorkToKeep) {
  WindowTestHome home;
  TSequence sequence;
  sequence.New_SongClick();
  sequence.Delay->setValue(80);
  sequence.DelayChange();
  sequence.Loop->setValue(3);
  EXPECT_FALSE(sequence.Song().PatternUnsaved());
  EXPECT_FALSE(sequence.Song().UnsavedWork().pattern.has_value());
  EXPECT_TRUE(sequence.close());
  EXPECT_TRUE(home.prompts.messages.empty());
}

// Edit › New Pattern: asked first like every replacing action, an empty
// pattern with no file after it, and undo brings the work back. A name no
// file can have is refused as it is typed.
TEST(ReplaceWork, NewPatternAndNamesThatCanNameAFile) {
  EditedWork w;
  w.home.prompts.answers = {PromptAnswer::Cancel};
  QTest::keyClick(&w.sequence, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(w.Questions(), std::vector<std::string>{kPatternQuestion});
  EXPECT_EQ(w.sequence.Grid().Cell(3, 4), kKick);
  w.home.prompts.answers = {PromptAnswer::Discard};
  QTest::keyClick(&w.sequence, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_TRUE(w.sequence.Song().GridIsBlank());
  EXPECT_EQ(w.sequence.Grid().Cell(2, 0), "16");
  EXPECT_EQ(QApplication::focusWidget(), w.sequence.Edit2);

  QTest::keyClicks(w.sequence.Edit2, "groove");
  EXPECT_TRUE(w.sequence.Song().OtherPatternsFile("groove")) << "the new pattern has no file";
  QTest::keyClicks(w.sequence.Edit2, "/2");
  EXPECT_EQ(w.sequence.Grid().Cell(0, 0), "groove2");
  EXPECT_EQ(w.sequence.Edit2->text(), "groove2");

  while (w.sequence.UndoAction->isEnabled() && w.sequence.Grid().Cell(3, 4).empty())
    w.sequence.UndoAction->trigger();
  EXPECT_EQ(w.sequence.Grid().Cell(3, 4), kKick);
  EXPECT_EQ(w.sequence.Grid().Cell(0, 0), "groove");
}
