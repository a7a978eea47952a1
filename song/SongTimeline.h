#pragma once
// The song's tempo map as bars and beats, for a transport that counts them:
// each pattern block has its step length and its meter (Length steps a bar,
// a beat every Time steps). Published once per compile; read by a sound
// server's thread without locks.
#include <cstdint>
#include <vector>

struct BarBeatTick {
  int32_t bar = 1, beat = 1, tick = 0;  // counted from 1, 1, 0
  double barStartTick = 0;
  float beatsPerBar = 4, beatType = 4;
  double ticksPerBeat = 1920;
  double beatsPerMinute = 120;
};

class SongTimeline {
 public:
  struct Block {
    double start = 0;  // seconds
    double step = 0;   // seconds a step row
    int64_t rows = 0;
    int steps = 16;  // rows a bar
    int time = 4;    // rows a beat
  };
  static constexpr double kTicksPerBeat = 1920;

  SongTimeline() = default;
  explicit SongTimeline(std::vector<Block> blocks);

  bool Empty() const { return blocks_.empty(); }
  // Where the song is at seconds from its start; past the end, the last
  // block's meter and tempo go on.
  BarBeatTick At(double seconds) const;

 private:
  std::vector<Block> blocks_;
  std::vector<int64_t> barsBefore_;  // whole bars before each block
};

// The timeline of the song playing, for the server's thread (null: none).
// Published timelines are kept until the program ends: a reader may hold one.
void PublishSongTimeline(SongTimeline timeline);
const SongTimeline* PublishedSongTimeline();
