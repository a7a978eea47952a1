#include <gtest/gtest.h>

#include "common/Exception.h"
#include "pattern/CoreState.h"
#include "song/SongFile.h"
#include "song/SongMenu.h"
#include "support/ErrorText.h"

namespace {

using Names = std::vector<std::string>;

// Slots with a file, frequency and pan each of their own.
void FillSlots(RecordedSlots& slots) {
  for (int n = 1; n <= 32; ++n) {
    slots[n].file = n % 4 == 0 ? "Blank.wav" : "/waves/hit" + std::to_string(n) + ".wav";
    slots[n].frequency = 11025 + n;
    slots[n].pan = (n - 16) * 100;
  }
}

}  // namespace

TEST(SongFile, ThreeEntriesSaveAs163LinesAndOpenBack) {
  CoreState s;
  for (const char* name : {"intro", "groove", "intro"}) s.playList.Append(name);
  FillSlots(s.slots);
  const auto song = s.dir / "tune";
  s.prompts.paths = {song.string()};
  ASSERT_TRUE(SaveSong(s.core));
  ASSERT_EQ(s.prompts.fileRequests.size(), 1u);
  EXPECT_EQ(s.prompts.fileRequests[0].filter, "*.sng|*.sng");
  EXPECT_EQ(s.prompts.fileRequests[0].defaultSuffix, "sng");
  EXPECT_EQ(s.prompts.fileRequests[0].startDir, s.dir.path().string());

  const Lines lines = ReadTextLines(s.dir / "tune.sng");
  ASSERT_EQ(lines.size(), 163u);
  EXPECT_EQ(
      Lines(lines.begin(), lines.begin() + 8),
      (Lines{"intro", "groove", "intro", "<*sam1", "/waves/hit1.wav", "11026", "//", "-1500"}));
  EXPECT_EQ(lines[158], "<*sam32");
  EXPECT_TRUE(ReadFileBytes(s.dir / "tune.sng").ends_with("1600\r\n"));

  CoreState t;
  t.playList.Append("old");
  t.prompts.paths = {(s.dir / "tune.sng").string()};
  const auto opened = OpenSong(t.core);
  ASSERT_TRUE(opened);
  EXPECT_TRUE(opened->slotError.empty());
  EXPECT_EQ(t.playList.Names(), (Names{"intro", "groove", "intro"}));
  for (int n = 1; n <= 32; ++n) {
    EXPECT_EQ(t.slots[n].file, s.slots[n].file) << n;
    EXPECT_EQ(t.slots[n].frequency, s.slots[n].frequency) << n;
    EXPECT_EQ(t.slots[n].pan, s.slots[n].pan) << n;
    EXPECT_EQ(t.slots[n].base, 22050) << n;  // a song leaves the base frequency alone
  }
  EXPECT_EQ(t.slots[4].caption, "Blank");  // captions change also for empty slots
  EXPECT_EQ(t.slots[5].caption, "hit5");
  EXPECT_EQ(t.slots.holdingMarks, 24);
  EXPECT_EQ(t.slots.frequencyBar, 11025 + 31);
}

TEST(SongFile, ThreeLineBlocksLeaveThePanAndLaterSlotsAlone) {
  CoreState s;
  s.slots[1].pan = 700;
  s.slots[2].pan = -700;
  s.slots[3].pan = 300;
  WriteTextLines(s.dir / "old.sng", {"a", "<*sam1", "/w/one.wav", "8000", "<*sam2", "/w/two.wav",
                                     "9000", "//", "-2500"});
  s.prompts.paths = {(s.dir / "old.sng").string()};
  ASSERT_TRUE(OpenSong(s.core));
  EXPECT_EQ(s.slots[1].file, "/w/one.wav");
  EXPECT_EQ(s.slots[1].frequency, 8000);
  EXPECT_EQ(s.slots[1].pan, 700);
  EXPECT_EQ(s.slots[2].pan, -2500);
  EXPECT_EQ(s.slots[3].pan, 300);
  EXPECT_EQ(s.slots[3].file, "Blank.wav");
  EXPECT_EQ(s.playList.Names(), Names{"a"});
}

TEST(SongFile, FileWithoutBlocksGivesOnlyEntriesAndLinesAfterTheLastBlockAreIgnored) {
  const auto data = ParseSongLines({"a", "", "b"});
  EXPECT_EQ(data.entries, (Names{"a", "", "b"}));
  EXPECT_TRUE(data.slots.empty());

  CoreState s;
  FillSlots(s.slots);
  Lines lines = BuildSongLines({"x"}, s.slots);
  lines.insert(lines.end(), {"<*sam33", "junk", "not a number"});
  EXPECT_EQ(ParseSongLines(lines).slots.size(), 32u);
}

// Groove and mix follow the slot blocks; a plain song writes none of it, and
// the slot reader still finds its 32 blocks in a song that has them.
TEST(SongFile, GrooveAndMixLinesFollowTheSlotsAndOpenBack) {
  CoreState s;
  s.playList.Append("verse");
  FillSlots(s.slots);
  const Lines plain = BuildSongLines(s.playList.Names(), s.slots);
  s.settings.groove = {50, 12, 30, 2024};
  s.settings.mix["Short Kick"] = {-600, false, true};
  s.settings.mix["Hat"] = {0, true, false};
  s.settings.mix["Snare"] = {};  // plain: not written
  SaveSongTo(s.core, s.dir / "g.sng");
  const Lines lines = ReadTextLines(s.dir / "g.sng");
  ASSERT_EQ(lines.size(), plain.size() + 3);
  EXPECT_TRUE(std::equal(plain.begin(), plain.end(), lines.begin()));
  EXPECT_EQ(Lines(lines.end() - 3, lines.end()),
            (Lines{"<*groove 50 12 30 2024", "<*mix 0 1 0 Hat", "<*mix -600 0 1 Short Kick"}));

  CoreState opened;
  OpenSongFile(opened.core, s.dir / "g.sng");
  EXPECT_EQ(opened.settings.groove, s.settings.groove);
  EXPECT_EQ(opened.settings.mix.size(), 2u);
  EXPECT_EQ(opened.settings.mix["Short Kick"], (InstrumentMix{-600, false, true}));
  EXPECT_EQ(ParseSongLines(lines).slots.size(), 32u);

  // Out of range is held to the range; a later program's lines pass; a word
  // that is no number is the file's error, with its line.
  Lines odd = plain;
  odd.insert(odd.end(), {"<*groove 90 -4 61 7", "<*tempo map 1 2 3"});
  const SongSettings held = ParseSongLines(odd).settings;
  EXPECT_EQ(held.groove, (Groove{75, 0, 60, 7}));
  odd.push_back("<*mix loud 0 0 Kick");
  EXPECT_EQ(Message([&] { ParseSongLines(odd); }),
            "line " + std::to_string(odd.size()) + ": 'loud' is not a valid integer value");
}

TEST(SongFile, BrokenSongChangesNothing) {
  struct Case {
    Lines lines;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"a", "<*sam1", "/w/one.wav", "8000", "<*sam2", "/w/two.wav"},
       "cut.sng, line 7: '' is not a valid integer value"},
      {{"a", "<*sam1", "/w/one.wav", "8000", "//"},
       "cut.sng, line 6: '' is not a valid integer value"},
      {{"a", "<*sam1"}, "cut.sng, line 4: '' is not a valid integer value"},
      {{"a", "<*sam1", "/w/one.wav", "loud"},
       "cut.sng, line 4: 'loud' is not a valid integer value"},
  };
  for (const auto& c : cases) {
    CoreState s;
    s.playList.Append("kept");
    WriteTextLines(s.dir / "cut.sng", c.lines);
    s.prompts.paths = {(s.dir / "cut.sng").string()};
    EXPECT_EQ(Message([&] { OpenSong(s.core); }), c.message);
    EXPECT_EQ(s.playList.Names(), Names{"kept"});
    EXPECT_TRUE(s.slots.log.empty());
  }
  CoreState s;
  s.playList.Append("kept");
  s.prompts.paths = {(s.dir / "none.sng").string()};
  EXPECT_EQ(Message([&] { OpenSong(s.core); }),
            "Cannot open file " + (s.dir / "none.sng").string());
  EXPECT_EQ(s.playList.Names(), Names{"kept"});
}

TEST(SongFile, WaveThatCannotLoadKeepsEntriesAndEarlierSlots) {
  CoreState s;
  WriteTextLines(s.dir / "s.sng",
                 {"a", "b", "<*sam1", "/w/one.wav", "8000", "//", "5", "<*sam2", "/w/gone.wav",
                  "8000", "//", "5", "<*sam3", "/w/three.wav", "8000", "//", "5"});
  s.slots.unreadable.insert("/w/gone.wav");
  s.prompts.paths = {(s.dir / "s.sng").string()};
  const auto opened = OpenSong(s.core);
  ASSERT_TRUE(opened);
  EXPECT_EQ(opened->slotError, "Cannot open file /w/gone.wav");
  EXPECT_EQ(s.playList.Names(), (Names{"a", "b"}));
  EXPECT_EQ(s.slots[1].file, "/w/one.wav");
  EXPECT_EQ(s.slots[3].file, "Blank.wav");
}

TEST(SongMenu, CancelledDialogsChangeNothing) {
  CoreState s;
  s.playList.Append("kept");
  EXPECT_FALSE(OpenSong(s.core));
  EXPECT_FALSE(SaveSong(s.core));
  EXPECT_EQ(s.prompts.fileRequests.size(), 2u);
  EXPECT_EQ(s.playList.Names(), Names{"kept"});
  EXPECT_TRUE(std::filesystem::is_empty(s.dir.path()));
}

TEST(SongMenu, SaveReplacesAnExistingSong) {
  CoreState s;
  WriteTextLines(s.dir / "a.sng", {"old"});
  s.playList.Append("new");
  s.prompts.paths = {(s.dir / "a.sng").string()};
  ASSERT_TRUE(SaveSong(s.core));
  EXPECT_EQ(ReadTextLines(s.dir / "a.sng")[0], "new");
  EXPECT_EQ(ReadTextLines(s.dir / "a.sng").size(), 161u);
}

TEST(SongMenu, NewSongClearsStepsNameAndPlayList) {
  CoreState s;
  s.grid = CoreState::Tagged("name", 64, "n");
  s.grid.SetCell(1, 67, "beyond");
  s.playList.Append("a");
  NewSong(s.grid, s.playList);
  EXPECT_EQ(s.grid.Cell(0, 0), "");
  EXPECT_EQ(s.grid.Cell(6, 65), "");
  EXPECT_EQ(s.grid.Cell(1, 66), "");
  EXPECT_EQ(s.grid.Cell(1, 67), "beyond");
  EXPECT_EQ(s.grid.Cell(0, 2), "1:0*");
  EXPECT_EQ(s.grid.Cell(2, 0), "64");
  EXPECT_EQ(s.playList.Count(), 0);
}
