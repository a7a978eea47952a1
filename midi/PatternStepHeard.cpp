#include "midi/PatternStepHeard.h"

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
