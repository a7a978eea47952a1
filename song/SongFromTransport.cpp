// The song player started by a transport: the song from its first entry,
// each step on the transport's frame for its time.
#include <cmath>

#include "song/PlaybackEngine.h"

bool PlaybackEngine::StartSongAtFrame(std::int64_t position, std::int64_t frameOfZero) {
  DXTimer1_.SetEnabled(false);
  DXTimer2_.SetEnabled(false);
  mainPlay_.clear();
  reportedErrors_.clear();
  if (host_.PlayListCount() == 0) return false;
  EnablePlayButtons(false);
  host_.SelectPlayListEntry(0);
  CompileSongFromStart();
  const std::int64_t earliest = sound_.EarliestFrame().value_or(frameOfZero + position);
  double seconds = 0;
  bool found = false;
  try {
    found = SkipSongRowsBefore(position, earliest, frameOfZero, seconds);
  } catch (...) {
    StopSong();
    EnablePlayButtons(true);
    throw;
  }
  if (!found) {
    mainPlay_.clear();
    EnablePlayButtons(true);
    return false;
  }
  songClock_.StartAt(frameOfZero, seconds);
  DXTimer1_.ScheduleNext(songClock_.CallTime());
  DXTimer1_.SetEnabled(true);
  return true;
}

// The rows' times as the song player sums them: a row that starts a pattern
// takes its header's tempo, and the gap before it is in that tempo.
bool PlaybackEngine::SkipSongRowsBefore(std::int64_t position, std::int64_t earliest,
                                        std::int64_t frameOfZero, double& seconds) {
  const int rate = sound_.FrameRate();
  for (;;) {
    const std::int64_t songFrame = std::llround(seconds * rate);
    if (songFrame >= position && frameOfZero + songFrame >= earliest) return true;
    if (sequencePos_ >= static_cast<int>(mainPlay_.size())) return false;
    const bool startsBlock = LineAt(sequencePos_) == kPatternHeader;
    if (startsBlock) ReadPatternHeader();
    CountSongRow(startsBlock);
    sequencePos_ += kChannels;
    if (AtEndOfSong()) return false;
    seconds += SongGapBefore(sequencePos_) * 0.001;
  }
}
