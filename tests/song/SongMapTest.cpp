// Where a playing song is: entry, pass and time from the compiled sequence.
#include <gtest/gtest.h>

#include "song/SongMap.h"

namespace {

// A block of rows × 6 cells after its header and tempo line.
void AddBlock(Lines& sequence, const std::string& tempo, int rows) {
  sequence.push_back("//");
  sequence.push_back(tempo);
  sequence.insert(sequence.end(), static_cast<size_t>(rows) * 6, "");
}

}  // namespace

TEST(SongMap, TellsEntryPassAndTimeFromTheFirstCompiledEntryOn) {
  Lines sequence;
  AddBlock(sequence, "50", 8);    // entry 3: 4 steps × 2 passes, 0.1 s a step
  AddBlock(sequence, "fast", 3);  // entry 4: no number keeps the step before
  AddBlock(sequence, "25", 2);    // entry 5
  sequence.push_back("%%%");
  const SongMap map(sequence, {{0, 4, 4}, {8, 3, 4}, {11, 2, 4}}, 2, {"A", "B", "C", "D", "E"});
  struct Case {
    std::int64_t position;
    std::string entry, time;
    int step;  // the row within its pass
  };
  for (const Case& c : std::vector<Case>{
           {2, "3/5 C, pass 1 of 2", "0:00.0 / 0:01.2", 0},
           {2 + 4 * 6, "3/5 C, pass 2 of 2", "0:00.4 / 0:01.2", 0},
           {2 + 7 * 6 + 5, "3/5 C, pass 2 of 2", "0:00.7 / 0:01.2", 3},
           {52 + 2 * 6, "4/5 D", "0:01.0 / 0:01.2", 2},
           {72, "5/5 E", "0:01.1 / 0:01.2", 0},
       }) {
    const SongPlace place = map.At(c.position);
    EXPECT_EQ(SongPlaceEntryText(place), c.entry) << c.position;
    EXPECT_EQ(SongPlaceTimeText(place), c.time) << c.position;
    EXPECT_EQ(place.step, c.step) << c.position;
  }
}
