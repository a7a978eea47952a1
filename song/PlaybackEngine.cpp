#include "song/PlaybackEngine.h"

#include <cmath>
#include <exception>

#include "kit/Wave.h"
#include "song/Toggles.h"

PlaybackEngine::PlaybackEngine(UiThread& ui, PlaybackHost& host, PlaybackSound& sound)
    : host_(host),
      sound_(sound),
      DXTimer1_(ui),
      DXTimer2_(ui),
      repeatPatternImage_(Toggles::kRepeatOff),
      repeatListImage_(Toggles::kRepeatOff),
      globalSpeedImage_(Toggles::kGlobalSpeedOff) {
  DXTimer1_.OnTimer = [this](TSuperTimer&) { DXTimer1Timer(); };
  DXTimer2_.OnTimer = [this](TSuperTimer&) { DXTimer2Timer(); };
  DXTimer1_.OnError = [this](const std::string& message) { ReportStepError(message); };
  DXTimer2_.OnError = [this](const std::string& message) { ReportStepError(message); };
}

void PlaybackEngine::ReportStepError(const std::string& message) {
  // A song that repeats meets the same fault every time round: one report.
  if (!reportedErrors_.insert(message).second) return;
  if (OnError) OnError(message);
}

void PlaybackEngine::SetUpTempo() {
  tempo_ = TempoValues(host_.DelayPosition());
  host_.ShowBeatsPerMinute(tempo_.BeatsPerMinute());
}

void PlaybackEngine::DelayChange() {
  tempo_.DelayChange(host_.DelayPosition());
  host_.ShowBeatsPerMinute(tempo_.BeatsPerMinute());
}

void PlaybackEngine::FollowDelay() {
  tempo_.Follow(host_.DelayPosition());
  host_.ShowBeatsPerMinute(tempo_.BeatsPerMinute());
}

void PlaybackEngine::ToolButton3Click() {
  repeatPatternImage_ = Toggles::FlipRepeat(repeatPatternImage_);
}

void PlaybackEngine::ToolButton8Click() {
  repeatListImage_ = Toggles::FlipRepeat(repeatListImage_);
}

void PlaybackEngine::ToolButton19Click() {
  globalSpeedImage_ = Toggles::FlipGlobalSpeed(globalSpeedImage_);
}

void PlaybackEngine::BitBtn4Click() {
  // Each slot on its own: one that fails to stop must not keep the players running.
  for (int slot = 1; slot <= kSlotsStopped; ++slot) {
    try {
      sound_.StopSlot(slot);
    } catch (const std::exception&) {
    }
  }
  stopMark_ = kStopMark;
  EnablePlayButtons(true);
  DXTimer1_.SetEnabled(false);
  DXTimer2_.SetEnabled(false);
  mainPlay_.clear();
  playhead_.Clear();
  TellStopped();
}

void PlaybackEngine::PlayListCleared() {
  stopMark_ = kStopMark;
  host_.EnablePlayButton(PlayButton::Song, true);
  StopSong();
}

void PlaybackEngine::DXSound1Initialize() {
  sound_.SetPrimaryFormat(Wave::MakePcmFormat(static_cast<uint32_t>(sampleRate_),
                                              static_cast<uint16_t>(bitsPerSample_), 2));
}

void PlaybackEngine::StopSong() {
  if (DXTimer1_.Enabled()) {
    playhead_.Clear();
    TellStopped();
  }
  DXTimer1_.SetEnabled(false);
  mainPlay_.clear();
}

void PlaybackEngine::EnablePlayButtons(bool enabled) {
  host_.EnablePlayButton(PlayButton::Pattern, enabled);
  host_.EnablePlayButton(PlayButton::Song, enabled);
}

void PlaybackEngine::TriggerCell(const std::string& text) {
  // A cell that cannot sound (a bad volume digit, a kit entry that is gone,
  // a slot that cannot play) stays silent; the step goes on.
  try {
    const auto place = PlaceOfCell(text);
    if (observer_ && place)
      observer_->CellPlayed(text, sound_.SoundTime(*place), place->quieterTenthDb);
    sound_.TriggerCell(text, place);
  } catch (const std::exception&) {
  }
}

void PlaybackEngine::StartClock(TSuperTimer& timer, StepClock& clock) {
  clock.Start(Clock::now());
  timer.ScheduleNext(clock.CallTime());
  if (observer_) observer_->PlayStarted(sound_.SoundTime(clock.Place()));
}

void PlaybackEngine::RunStep(StepClock& clock, void (PlaybackEngine::*step)()) {
  clock.CatchUp(Clock::now());
  struct Placed {
    std::optional<PlaybackSound::StepPlace>& place;
    const StepClock*& clock;
    std::optional<HitSpot>& spot;
    ~Placed() {
      place.reset();
      clock = nullptr;
      spot.reset();
    }
  } scope{stepPlace_, stepClock_, stepSpot_};
  stepPlace_ = clock.Place();
  stepClock_ = &clock;
  TellStep(*stepPlace_);
  (this->*step)();
}

void PlaybackEngine::MarkStep(PlayheadMark::Kind kind, int64_t where) {
  if (!stepPlace_) return;
  lastMark_ = {kind, where, sound_.SoundFrame(*stepPlace_), PlayheadMoment(stepPlace_->at)};
  playhead_.Publish(lastMark_);
}

void PlaybackEngine::MarkEnd(int intervalMs) {
  PlayheadMark end = lastMark_;
  end.kind = PlayheadMark::Kind::None;
  if (end.frame >= 0) end.frame += std::llround(intervalMs * 0.001 * sound_.FrameRate());
  end.momentNs += int64_t{intervalMs} * 1000000;
  playhead_.Publish(end);
  if (observer_) observer_->PlayEnded(lastStepSound_ + std::chrono::milliseconds(intervalMs));
}

void PlaybackEngine::TellStep(const PlaybackSound::StepPlace& place) {
  lastStepSound_ = sound_.SoundTime(place);
  if (!observer_) return;
  PlaybackSound::StepPlace due = place;
  due.afterDue = 0;
  due.frame = -1;
  observer_->StepPlaced(lastStepSound_, sound_.SoundTime(due));
}

void PlaybackEngine::TellNextStep(const StepClock& clock) {
  if (observer_) observer_->NextStepAt(sound_.SoundTime(clock.Place()));
}

void PlaybackEngine::TellStopped() {
  if (observer_) observer_->PlayStopped(Clock::now());
}
