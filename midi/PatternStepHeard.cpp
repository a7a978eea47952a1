#include "midi/PatternStepHeard.h"

#include <algorithm>
#include <cmath>

#include "render/MidiExport.h"
#include "song/PlaybackEngine.h"

std::optional<StepHeard> PatternStepHeard(const PlaybackEngine& engine, const PlaybackSound& sound,
                                          std::chrono::steady_clock::time_point arrived) {
  if (!engine.PatternPlaying()) return std::nullopt;
  const std::optional<PlayheadMark> mark = engine.SoundingAt(arrived);
  if (!mark || mark->kind != PlayheadMark::Kind::Pattern) return std::nullopt;
  const double stepSeconds = engine.Tempo().StepInterval() / 1000.0;
  StepHeard heard;
  heard.row = static_cast<int>(mark->where);
  const std::optional<int64_t> frame = sound.HeardFrame(arrived);
  if (mark->frame >= 0 && frame) {
    heard.stepStart = static_cast<double>(mark->frame);
    heard.heard = static_cast<double>(*frame);
    heard.stepLength = stepSeconds * sound.FrameRate();
  } else {
    heard.stepStart = static_cast<double>(mark->momentNs);
    heard.heard = static_cast<double>(PlayheadMoment(arrived));
    heard.stepLength = stepSeconds * 1e9;
  }
  return heard;
}

std::optional<int> RecordRow(const PlaybackEngine& engine, const PlaybackSound& sound,
                             std::chrono::steady_clock::time_point arrived) {
  const std::optional<StepHeard> heard = PatternStepHeard(engine, sound, arrived);
  if (!heard) return std::nullopt;
  return NearestStepRow(*heard, PlaybackEngine::kFirstStepRow, engine.PlayLength());
}

int64_t StepsBeforeRow(const PlaybackEngine& engine, int row) {
  const int steps = std::max(1, engine.PlayLength());
  const int first = PlaybackEngine::kFirstStepRow;
  const double interval = std::max(1, engine.Tempo().StepInterval()) / 1000.0;
  // The clock stands at the step due next: the row the player plays next.
  const int64_t due = std::llround(engine.PatternClock().SongSeconds() / interval);
  const int dueRow = engine.PlayRow() >= first + steps ? first : engine.PlayRow();
  const int back = ((dueRow - row) % steps + steps) % steps;
  return due - back;
}

int BarSteps(int steps, int time) {
  const TimeSignature meter = TimeSignatureOf(steps, time);
  return meter.beats * 16 / std::max(1, meter.noteValue);
}
