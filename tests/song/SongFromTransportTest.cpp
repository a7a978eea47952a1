// The song started by a transport: rows before its position pass silently,
// the first row at or after it sounds on its frame, and the rows' frames are
// the transport's, through tempo changes.
#include <gtest/gtest.h>

#include <cmath>

#include "song/PlaybackTestSupport.h"

namespace {

// A compiled block: header, tempo, then each row's six cells.
std::vector<std::string> Block(int tempo, const std::vector<std::string>& rows) {
  std::vector<std::string> lines{"//", std::to_string(tempo)};
  for (const auto& row : rows) {
    lines.push_back(row);
    for (int cell = 1; cell < 6; ++cell) lines.emplace_back();
  }
  return lines;
}

// Rows A0..A3 at tempo 50 (0.1 s), then B0..B1 at tempo 25 (0.05 s).
std::vector<std::string> Song() {
  auto lines = Block(50, {"A0", "A1", "A2", "A3"});
  const auto b = Block(25, {"B0", "B1"});
  lines.insert(lines.end(), b.begin(), b.end());
  lines.push_back("%%%");
  return lines;
}

// Frames at 48 kHz: A rows every 4800; the gap before B0 is in B's tempo.
struct Case {
  int64_t position;
  std::string first;
  int64_t firstFrame;  // song frame of the first row played
};

class SongFromTransport : public ::testing::TestWithParam<Case> {
 protected:
  ManualUiThread ui;
  FakeHost host;
  RecordingSound sound;
  PlaybackEngine engine{ui, host, sound};
};

TEST_P(SongFromTransport, TheFirstRowIsTheOneAtOrAfterThePosition) {
  host.compiled = Song();
  host.selected = 3;
  engine.SetUpTempo();
  const int64_t zero = 1'000'000;
  ASSERT_TRUE(engine.StartSongAtFrame(GetParam().position, zero));
  EXPECT_EQ(host.selected, 0) << "the song starts from the play list's first entry";
  EXPECT_TRUE(engine.SongPlaying());
  EXPECT_EQ(engine.SongClock().Place().frame, zero + GetParam().firstFrame);
  engine.DXTimer1Timer();
  ASSERT_FALSE(sound.triggers.empty());
  EXPECT_EQ(sound.triggers[0].text, GetParam().first);
  ASSERT_TRUE(sound.triggers[0].at);
  EXPECT_EQ(sound.triggers[0].at->frame, zero + GetParam().firstFrame);
  EXPECT_EQ(sound.triggers[0].at->transportFrame, GetParam().firstFrame);
  engine.BitBtn4Click();
}

INSTANTIATE_TEST_SUITE_P(Positions, SongFromTransport,
                         ::testing::Values(Case{0, "A0", 0}, Case{1, "A1", 4800},
                                           Case{4800, "A1", 4800}, Case{9000, "A2", 9600},
                                           Case{14401, "B0", 14400 + 2400},
                                           Case{16800, "B0", 16800},
                                           Case{16801, "B1", 16800 + 2400}));

// Blocks the server skipped move the output frames the steps are made for,
// never the transport frames they sound at.
TEST(SongFromTransportRetime, LaterStepsKeepTheirTransportFrames) {
  ManualUiThread ui;
  FakeHost host;
  RecordingSound sound;
  PlaybackEngine engine{ui, host, sound};
  host.compiled = Song();
  engine.SetUpTempo();
  ASSERT_TRUE(engine.StartSongAtFrame(0, 1000));
  engine.DXTimer1Timer();
  engine.RetimeSong(1000 - 512);
  engine.DXTimer1Timer();
  ASSERT_EQ(sound.triggers.size(), 2u);
  EXPECT_EQ(sound.triggers[1].at->transportFrame, 4800);
  EXPECT_EQ(sound.triggers[1].at->frame, 1000 - 512 + 4800);
  engine.BitBtn4Click();
}

// A song the user starts is placed by the output alone.
TEST(SongFromTransportRetime, AUsersStartHasNoTransportFrames) {
  ManualUiThread ui;
  FakeHost host;
  RecordingSound sound;
  PlaybackEngine engine{ui, host, sound};
  host.compiled = Song();
  engine.SetUpTempo();
  ASSERT_TRUE(engine.StartSongAtFrame(0, 1000));
  engine.BitBtn4Click();
  engine.BitBtn12Click();
  engine.DXTimer1Timer();
  ASSERT_FALSE(sound.triggers.empty());
  EXPECT_EQ(sound.triggers.back().at->transportFrame, -1);
  engine.RetimeSong(5);  // no transport: nothing moves
  engine.BitBtn4Click();
}

TEST(SongFromTransportEnd, APositionPastTheSongPlaysNothing) {
  ManualUiThread ui;
  FakeHost host;
  RecordingSound sound;
  PlaybackEngine engine{ui, host, sound};
  host.compiled = Song();
  engine.SetUpTempo();
  EXPECT_FALSE(engine.StartSongAtFrame(48000 * 60, 0));
  EXPECT_FALSE(engine.SongPlaying());
  EXPECT_TRUE(host.songButton);
  EXPECT_TRUE(sound.triggers.empty());
}

TEST(SongFromTransportEnd, AnEmptyPlayListPlaysNothing) {
  ManualUiThread ui;
  FakeHost host;
  RecordingSound sound;
  PlaybackEngine engine{ui, host, sound};
  host.playListCount = 0;
  engine.SetUpTempo();
  EXPECT_FALSE(engine.StartSongAtFrame(0, 0));
  EXPECT_FALSE(engine.SongPlaying());
}

}  // namespace
