// The demo patterns and song a first run finds in its home folder.
// KORVANTO_WRITE_DEMO=1 writes data/demo/ from DemoGrooves.cpp instead of
// checking it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "common/Files.h"
#include "pattern/CoreState.h"
#include "pattern/PatternLoad.h"
#include "song/Compile.h"
#include "song/DemoGrooves.h"
#include "song/SongMenu.h"

namespace {

std::filesystem::path DemoDir() {
  return std::filesystem::path(KORVANTO_TEST_SOURCE_DIR) / "data" / "demo";
}

bool Writing() {
  return std::getenv("KORVANTO_WRITE_DEMO") != nullptr;
}

void CheckOrWrite(const std::filesystem::path& path, const Lines& lines) {
  if (Writing()) {
    WriteTextLines(path, lines);
    return;
  }
  EXPECT_EQ(ReadFileBytes(path), JoinLinesCrlf(lines)) << path;
}

const std::set<std::string>& KitNames() {
  static const std::set<std::string> names = {
      "Kick      ", "Short Kick", "Snare     ", "ClsHiat   ", "OpHiat    ", "Tom1      ",
      "Tom2      ", "Cymbol1   ", "Cymbol2   ", "Rimshot   ", "Shaker    ", "Block     ",
      "Congo     ", "Cowbell   ", "Crack     ", "Tamb      "};
  return names;
}

}  // namespace

TEST(DemoContent, FilesAreWhatTheSaveWritesForTheGrooves) {
  for (const DemoGroove& groove : DemoGrooves()) {
    ASSERT_LE(groove.tracks.size(), 6u) << groove.name;
    for (const auto& track : groove.tracks) {
      EXPECT_EQ(track.steps.size(), static_cast<size_t>(groove.steps)) << groove.name;
      EXPECT_TRUE(KitNames().count(track.instrument)) << track.instrument;
      // 8 and 9 are too quiet to hear (the render even inverts 9).
      EXPECT_EQ(track.steps.find_first_not_of(".x1234567"), std::string::npos) << groove.name;
    }
    CheckOrWrite(DemoDir() / (groove.name + ".pat"), DemoPatternLines(groove));
  }
  CheckOrWrite(DemoDir() / "Demo.sng", DemoSongLines());
}

TEST(DemoContent, SongOpensAndCompilesInAFreshHome) {
  CoreState s;
  for (const auto& entry : std::filesystem::directory_iterator(DemoDir()))
    std::filesystem::copy_file(entry.path(), s.dir / entry.path().filename().string());
  s.library.LoadFromFolder(s.dir.path());
  EXPECT_EQ(s.library.Entries().size(), DemoGrooves().size() + 1);

  s.prompts.paths = {(s.dir / "Demo.sng").string()};
  const auto opened = OpenSong(s.core);
  ASSERT_TRUE(opened);
  EXPECT_EQ(s.playList.Names(), DemoSongEntries());
  EXPECT_EQ(s.slots[32].file, "Blank.wav");
  EXPECT_EQ(s.slots.holdingMarks, 0);

  Lines sequence;
  ASSERT_TRUE(CompilePlaySequence(s.dir.path(), s.playList, sequence));
  int headers = 0;
  for (size_t i = 0; i < sequence.size(); ++i) {
    if (sequence[i] == "//") {
      ++headers;
      const int tempo = ParseWholeNumber(sequence[++i]);
      EXPECT_TRUE(tempo >= 50 && tempo <= 80) << tempo;  // 90 to 144 BPM
    } else if (!sequence[i].empty() && sequence[i] != "%%%") {
      EXPECT_TRUE(KitNames().count(sequence[i].substr(0, 10))) << sequence[i];
    }
  }
  EXPECT_EQ(headers, static_cast<int>(DemoSongEntries().size()));
  EXPECT_EQ(sequence.back(), "%%%");

  s.slots.log.clear();
  for (const DemoGroove& groove : DemoGrooves()) {
    const PatternLoad load = LoadPatternIntoGrid(s.Pat(groove.name), s.grid, s.slots);
    EXPECT_EQ(load.values, (PatternValues{groove.tempoPosition, groove.loops}));
    EXPECT_EQ(s.grid.RowCount(), groove.steps + 2);
    EXPECT_EQ(s.grid.Cell(0, 0), groove.name);
    EXPECT_TRUE(s.slots.log.empty());  // every slot line is "Blank.wav"
  }
}
