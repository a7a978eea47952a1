// The players under the song's groove: each cell's hit placed where the
// render places it, counted by the same step rows.
#include "song/PlaybackEngine.h"

void PlaybackEngine::SetGroove(const Groove& groove) {
  groove_ = groove;
  const double lead = GrooveLeadSeconds(groove);
  songClock_.SetLead(lead);
  patternClock_.SetLead(lead);
}

std::optional<PlaybackSound::StepPlace> PlaybackEngine::PlaceOfCell(const std::string& text) const {
  if (!stepPlace_ || !stepClock_ || !stepSpot_ || groove_.IsPlain()) return stepPlace_;
  HitSpot spot = *stepSpot_;
  spot.instrument = GrooveInstrumentKey(text);
  const HitGroove moved = GrooveOfHit(groove_, spot);
  PlaybackSound::StepPlace place = stepClock_->PlaceMoved(moved.delaySeconds);
  place.quieterTenthDb = moved.quieterTenthDb;
  return place;
}

void PlaybackEngine::StartSongRows() {
  songRow_ = -1;
  songBlockStart_ = 0;
}

void PlaybackEngine::CountSongRow(bool startsBlock) {
  ++songRow_;
  if (startsBlock) songBlockStart_ = songRow_;
  // The step in force at the row: the gap the song player counts before it.
  stepSpot_ = HitSpot{songRow_, songRow_ - songBlockStart_, songStepMs_ * 0.001, {}};
}

void PlaybackEngine::CountPatternRow() {
  // The grid plays as a song of its one pattern: one block, rows on from the start.
  ++patternRow_;
  stepSpot_ = HitSpot{patternRow_, patternRow_, tempo_.StepInterval() * 0.001, {}};
}
