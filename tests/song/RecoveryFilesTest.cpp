// Copies of unsaved work in temp/recovery: what is written, when it goes, and
// the one question at start-up.
#include <gtest/gtest.h>

#include "pattern/CoreState.h"
#include "pattern/PatternLoad.h"
#include "song/RecoveryFiles.h"
#include "song/RecoveryWriter.h"
#include "song/SongFile.h"
#include "song/UnsavedChanges.h"

namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;

// A window's state as the recovery sees it: grid, list, slots and what
// their files hold.
struct Work : CoreState {
  UnsavedChanges unsaved;
  PatternValues values{60, 1};
  RecoveryFiles files{dir.path()};

  Work() {
    unsaved.PatternMet(grid, values);
    unsaved.SongMet(playList, slots, {}, std::nullopt);
  }
  RecoveryWork Unsaved() { return UnsavedWork(unsaved, {}, grid, values, playList, slots); }
  void Keep() { files.Keep(Unsaved()); }
};

}  // namespace

TEST(RecoveryFiles, NothingUnsavedWritesNothing) {
  Work w;
  w.Keep();
  EXPECT_FALSE(fs::exists(w.files.Folder()));
  EXPECT_FALSE(w.files.Found());
}

// What comes back from the copies is what the window held: cells, tempo,
// loops and slots through the pattern layout; entries, slot files, pitches
// and pans through the song layout; the song's own file by name.
TEST(RecoveryFiles, TheCopiesHoldTheGridTheListAndTheSlotsAsTheyStood) {
  Work w;
  w.grid.SetCell(0, 0, "Groove");
  w.grid.SetCell(1, 2, "Kick      [9");
  w.grid.SetCell(6, 17, "Sample3");
  w.values = {33, 4};
  for (const char* name : {"Rock", "Fill", "Rock"}) w.playList.Append(name);
  w.slots[3] = {"/waves/beep.wav", 30000, 22050, -1500, ""};
  w.unsaved.SongMet(w.playList, w.slots, {}, w.dir / "Mine.sng");
  w.playList.Append("Funk");
  w.Keep();
  ASSERT_TRUE(w.files.Found());

  CoreState back;
  const PatternLoad loaded = LoadPatternIntoGrid(w.files.PatternFile(), back.grid, back.slots);
  EXPECT_EQ(loaded.values, (PatternValues{33, 4}));
  for (int row = 0; row <= 18; ++row)
    for (int col = 0; col < 7; ++col)
      EXPECT_EQ(back.grid.Cell(col, row), w.grid.Cell(col, row)) << col << "," << row;
  EXPECT_EQ(back.slots[3].file, "/waves/beep.wav");
  const SongFileData song = ReadSongFile(w.files.SongFile());
  EXPECT_EQ(song.entries, (Names{"Rock", "Fill", "Rock", "Funk"}));
  ASSERT_EQ(song.slots.size(), 32u);
  EXPECT_EQ(song.slots[2].frequency, 30000);
  EXPECT_EQ(song.slots[2].pan, -1500);
  EXPECT_EQ(w.files.RecoveredSongFile(), w.dir / "Mine.sng");
  // Nothing is written beside the user's files.
  EXPECT_FALSE(fs::exists(w.dir / "Groove.pat"));
  EXPECT_FALSE(fs::exists(w.dir / "Mine.sng"));
}

TEST(RecoveryFiles, APartThatIsSavedAgainGoesAndANewSongHasNoFileName) {
  Work w;
  w.playList.Append("Rock");
  w.grid.SetCell(1, 2, "Snare     [ ]");
  w.Keep();
  EXPECT_EQ(w.files.RecoveredSongFile(), std::nullopt);
  ASSERT_TRUE(fs::exists(w.files.PatternFile()));

  w.unsaved.PatternMet(w.grid, w.values);  // the pattern was saved
  w.Keep();
  EXPECT_FALSE(fs::exists(w.files.PatternFile()));
  EXPECT_TRUE(fs::exists(w.files.SongFile()));

  w.playList.Clear();  // back to the empty new song
  w.Keep();
  EXPECT_FALSE(w.files.Found());
  EXPECT_FALSE(fs::exists(w.files.SongNameFile()));
}

TEST(RecoveryFiles, AGridNoFileCanHoldKeepsItsLastCopyAndUnchangedWorkIsNotWrittenAgain) {
  Work w;
  w.grid.SetCell(1, 2, "Kick      [ ]");
  w.Keep();
  const std::string first = ReadFileBytes(w.files.PatternFile());

  // Written once: the same work later leaves the file as it is.
  WriteTextLines(w.files.PatternFile(), {"touched"});
  w.Keep();
  EXPECT_EQ(ReadTextLines(w.files.PatternFile()), Lines{"touched"});
  WriteFileAtomically(w.files.PatternFile(), first);

  w.grid.SetCell(2, 0, "sixteen");
  EXPECT_TRUE(w.Unsaved().patternUnwritable);
  w.Keep();
  EXPECT_EQ(ReadFileBytes(w.files.PatternFile()), first);
}

TEST(RecoveryFiles, RemoveTakesEveryCopyAndAFolderThatCantBeMadeRaises) {
  Work w;
  w.grid.SetCell(1, 2, "Kick      [ ]");
  w.playList.Append("Rock");
  w.Keep();
  w.files.Remove();
  EXPECT_FALSE(fs::exists(w.files.Folder()));

  // temp is a file: no folder can be made in it.
  Work blocked;
  WriteTextLines(blocked.dir / "temp", {"a file"});
  blocked.grid.SetCell(1, 2, "Kick      [ ]");
  EXPECT_THROW(blocked.Keep(), EFCreateError);
}

TEST(RecoveryFiles, WorkBroughtBackCountsAsUnsavedUntilItMeetsAFile) {
  Work w;
  w.unsaved.PatternRecovered();
  w.unsaved.SongRecovered(w.dir / "Demo.sng");
  EXPECT_TRUE(w.unsaved.PatternChanged(w.grid, w.values));
  EXPECT_TRUE(w.unsaved.SongChanged(w.playList, w.slots, {}));
  EXPECT_EQ(w.unsaved.SongFile(), w.dir / "Demo.sng");
  w.unsaved.PatternMet(w.grid, w.values);
  w.unsaved.SongMet(w.playList, w.slots, {}, w.dir / "Demo.sng");
  EXPECT_FALSE(w.unsaved.PatternChanged(w.grid, w.values));
  EXPECT_FALSE(w.unsaved.SongChanged(w.playList, w.slots, {}));
}

TEST(RecoveryOffer, CopiesFoundAskOnceRestoreRestoresDiscardRemovesDismissedLeavesThem) {
  Work w;
  int restores = 0;
  auto restore = [&] { ++restores; };
  // Nothing found: nothing asked, and copies are kept from now on.
  EXPECT_TRUE(OfferRecoveredWork(w.files, w.prompts, restore));
  EXPECT_TRUE(w.prompts.messages.empty());

  w.grid.SetCell(1, 2, "Kick      [ ]");
  w.Keep();
  w.prompts.answers = {PromptAnswer::Restore};
  EXPECT_TRUE(OfferRecoveredWork(w.files, w.prompts, restore));
  ASSERT_EQ(w.prompts.messages.size(), 1u);
  EXPECT_EQ(w.prompts.messages[0].text,
            "Korvanto did not close properly. Restore the pattern and play list you were working "
            "on?");
  EXPECT_EQ(w.prompts.messages[0].buttons, PromptButtons::RestoreDiscard);
  EXPECT_EQ(restores, 1);
  EXPECT_TRUE(w.files.Found());

  // Dismissed (Escape, the close button, a signal): the copies wait for the next start.
  w.prompts.answers = {PromptAnswer::Cancel};
  EXPECT_FALSE(OfferRecoveredWork(w.files, w.prompts, restore));
  EXPECT_TRUE(w.files.Found());

  w.prompts.answers = {PromptAnswer::Discard};
  EXPECT_TRUE(OfferRecoveredWork(w.files, w.prompts, restore));
  EXPECT_FALSE(w.files.Found());
  EXPECT_EQ(restores, 1);
}

// The copies are written on a thread of the writer's own; a clean end's
// removal is final, whatever work was still on its way.
TEST(RecoveryWriter, WritesBesideTheWindowAndNothingComesAfterRemove) {
  Work w;
  std::vector<std::string> trouble;
  RecoveryWriter writer(w.dir.path(), RecoveryFiles::kSharedFolder,
                        [&](const std::string& message) { trouble.push_back(message); });
  w.grid.SetCell(1, 2, "Kick      [ ]");
  writer.Keep(w.Unsaved());
  writer.Flush();
  EXPECT_TRUE(fs::exists(w.files.PatternFile()));

  for (int edit = 0; edit < 50; ++edit) {
    w.grid.SetCell(1, 3, edit % 2 ? "Snare     [ ]" : "");
    writer.Keep(w.Unsaved());
  }
  writer.Remove();
  writer.Flush();
  EXPECT_FALSE(fs::exists(w.files.Folder()));

  // Ended, as exit() ends it: the last work is written on the caller's thread.
  writer.Keep(w.Unsaved());
  writer.End();
  EXPECT_TRUE(fs::exists(w.files.PatternFile()));
  w.playList.Append("Rock");
  writer.Keep(w.Unsaved());
  EXPECT_TRUE(fs::exists(w.files.SongFile()));
  EXPECT_TRUE(trouble.empty());
}

TEST(RecoveryWriter, ACopyThatCantBeWrittenIsToldAndTheWindowGoesOn) {
  Work w;
  WriteTextLines(w.dir / "temp", {"a file where the temp folder should be"});
  std::vector<std::string> trouble;
  {
    RecoveryWriter writer(w.dir.path(), RecoveryFiles::kSharedFolder,
                          [&](const std::string& message) { trouble.push_back(message); });
    w.grid.SetCell(1, 2, "Kick      [ ]");
    writer.Keep(w.Unsaved());
  }
  ASSERT_EQ(trouble.size(), 1u);
  EXPECT_NE(trouble[0].find("recovery"), std::string::npos) << trouble[0];
}
