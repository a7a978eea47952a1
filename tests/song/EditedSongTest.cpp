// The edited song's commands and the history's steps, without windows.
#include <gtest/gtest.h>

#include "common/Files.h"
#include "common/ScriptedPrompts.h"
#include "pattern/RecordedSlots.h"
#include "song/EditedSong.h"
#include "song/ReplaceQuestion.h"
#include "support/TempDir.h"

namespace {
struct Song {
  Song() {
    song.SetSlots(&slots);
    song.StartIn(dir.path());
    song.Grid().WriteNewPattern(16, 4);
    song.PatternMet();
  }
  PlayListState List() const { return song.List().State(); }
  TempDir dir;
  RecordedSlots slots;
  EditedSong song;
};

PlayListState Numbered(int count) {
  PlayListState state;
  for (int i = 0; i < count; ++i) state.entries.push_back({"p" + std::to_string(i), i % 3 == 0});
  return state;
}
}  // namespace

// A step keeps what changed: a move in a long list keeps two entries.
TEST(PlayListSplice, KeepsOnlyWhatChangedAndPutsItBackExactly) {
  struct Case {
    const char* name;
    std::function<void(PlayList&)> edit;
    size_t kept;  // entries the step holds, both sides
  };
  const std::vector<Case> cases = {
      {"move", [](PlayList& l) { l.Exchange(1000, 1001); }, 4},
      {"append", [](PlayList& l) { l.Append("new"); }, 1},
      {"tick", [](PlayList& l) { l.SetChecked(5, !l.Checked(5)); }, 2},
      {"remove ticked", [](PlayList& l) { l.RemoveChecked(); }, 4000},
      {"clear", [](PlayList& l) { l.Clear(); }, 2000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlayList list;
    list.Restore(Numbered(2000));
    list.Select(7);
    const PlayListState before = list.State();
    c.edit(list);
    const PlayListState after = list.State();
    const PlayListSplice splice = PlayListSplice::Between(before, after);
    EXPECT_LE(splice.removed.size() + splice.inserted.size(), c.kept);
    splice.Apply(list, true);
    EXPECT_EQ(list.State(), before);
    splice.Apply(list, false);
    EXPECT_EQ(list.State(), after);
  }
}

// Loading a pattern over unsaved work is undone to that work, its tempo,
// loops and its unsaved mark included.
TEST(EditedSong, LoadingAPatternIsUndoneToTheWorkBefore) {
  Song s;
  s.song.EditGrid([](PatternGrid& g) { g.SetName("Funk"); });
  WriteTextLines(s.dir / "Funk.pat", [] {
    Song other;
    other.song.SetTempo(72);
    other.song.SetLoops(2);
    other.song.EditGrid([](PatternGrid& g) { g.SetCell(2, 3, "Snare     [ ]"); });
    return BuildPatternLines(other.song.Grid(), 16, other.song.Values(), other.slots);
  }());
  s.song.SetTempo(80);
  s.song.EditGrid([](PatternGrid& g) { g.SetCell(1, 2, "Kick      [ ]"); });
  ASSERT_TRUE(s.song.PatternUnsaved());
  std::string slotError;
  const SongChange load = s.song.LoadPattern(s.dir / "Funk.pat", slotError);
  EXPECT_EQ(s.song.Values(), (PatternValues{72, 2}));
  EXPECT_FALSE(s.song.PatternUnsaved());
  s.song.Apply(load, true);
  EXPECT_EQ(s.song.Values(), (PatternValues{80, 1}));
  EXPECT_EQ(s.song.Grid().Cell(1, 2), "Kick      [ ]");
  EXPECT_TRUE(s.song.PatternUnsaved());
  s.song.Apply(load, false);
  EXPECT_EQ(s.song.Grid().Cell(2, 3), "Snare     [ ]");
}

// What a song file holds beside its entries counts: a slot's new pitch is
// unsaved work.
TEST(EditedSong, SlotSettingsAreUnsavedUntilTheSongIsSaved) {
  Song s;
  EXPECT_FALSE(s.song.SongUnsaved());
  s.slots[4].frequency = 30000;
  EXPECT_TRUE(s.song.SongUnsaved());
  EXPECT_TRUE(s.song.UnsavedWork().song.has_value());
  s.song.SongMet(s.dir / "a.sng");
  EXPECT_FALSE(s.song.SongUnsaved());
}

// Deleting a library pattern is a step: undo writes its file back and
// brings its entries back, the history before it stays.
TEST(EditedSong, DeletingAPatternIsUndoneWithItsFile) {
  Song s;
  WriteTextLines(s.dir / "Rock.pat", {"Rock", "x"});
  s.song.LoadLibrary();
  s.song.EditList([](PlayList& l, PatternLibrary&) {
    l.Append("Rock");
    l.Append("Funk");
    l.Append("Rock");
  });
  const PlayListState before = s.List();
  const SongChange deleted = s.song.DeletePattern("Rock");
  EXPECT_FALSE(std::filesystem::exists(s.dir / "Rock.pat"));
  EXPECT_EQ(s.song.List().Names(), std::vector<std::string>{"Funk"});
  s.song.Apply(deleted, true);
  EXPECT_EQ(ReadTextLines(s.dir / "Rock.pat"), (Lines{"Rock", "x"}));
  EXPECT_EQ(s.List(), before);
  EXPECT_TRUE(s.song.Library().Contains("Rock"));
}

// The one question: each answer, for each part that differs from its file.
TEST(ReplaceQuestion, EachAnswerGoesOnOrStops) {
  struct Case {
    PromptAnswer answer;
    bool saves;  // the save step succeeds
    bool goesOn;
  };
  for (const Case& c : std::vector<Case>{{PromptAnswer::Cancel, true, false},
                                         {PromptAnswer::Discard, true, true},
                                         {PromptAnswer::Save, true, true},
                                         {PromptAnswer::Save, false, false}}) {
    Song s;
    s.song.EditGrid([](PatternGrid& g) { g.SetName("Rock"); });
    ScriptedPrompts prompts;
    prompts.answers = {c.answer};
    int saved = 0;
    SaveSteps save{[&] { return ++saved, c.saves; }, [&] { return ++saved, c.saves; }};
    EXPECT_EQ(ReadyToReplace(s.song, Replacing::Both, prompts, save), c.goesOn);
    ASSERT_EQ(prompts.Texts(), std::vector<std::string>{"Save changes to pattern 'Rock'?"});
    EXPECT_EQ(saved, c.answer == PromptAnswer::Save ? 1 : 0);
  }
  Song clean;
  ScriptedPrompts prompts;
  EXPECT_TRUE(ReadyToReplace(clean.song, Replacing::Both, prompts, {}));
  EXPECT_TRUE(prompts.messages.empty());
}
