// The pattern player: plays the step grid's rows live, one per tick of DXTimer2.
#include <algorithm>

#include "common/Text.h"
#include "song/PlaybackEngine.h"
#include "song/Toggles.h"

void PlaybackEngine::BitBtn3Click() {
  // The length comes first: a grid without one starts nothing and leaves
  // the play buttons as they were.
  const int length = ParseWholeNumber(host_.Cell(2, 0));
  reportedErrors_.clear();
  stopMark_.clear();
  EnablePlayButtons(false);
  playLength_ = length;
  playRow_ = kFirstStepRow;
  playhead_.Clear();  // steps of an earlier start still to come are not heard
  patternRow_ = -1;
  DXTimer2_.SetInterval(static_cast<std::uint16_t>(tempo_.StepInterval()));
  StartClock(DXTimer2_, patternClock_);
  DXTimer2_.SetEnabled(true);
  DXSound1Initialize();
}

void PlaybackEngine::DXTimer2Timer() {
  RunStep(patternClock_, &PlaybackEngine::PlayPatternRow);
  if (!DXTimer2_.Enabled()) {
    if (stopMark_ != kStopMark) MarkEnd(tempo_.StepInterval());
    return;
  }
  // The gap after a step is the interval the tempo bar gave it.
  patternClock_.Advance(tempo_.StepInterval());
  DXTimer2_.ScheduleNext(patternClock_.CallTime());
  TellNextStep(patternClock_);
}

void PlaybackEngine::PlayPatternRow() {
  tempo_.FollowForStep(host_.DelayPosition());
  DXTimer2_.SetInterval(static_cast<std::uint16_t>(tempo_.StepInterval()));
  MarkStep(PlayheadMark::Kind::Pattern, playRow_);
  CountPatternRow();
  ClickOnBeat();
  for (int col = 1; col <= kChannels; ++col) TriggerCell(host_.Cell(col, playRow_));
  ++playRow_;
  // At or past the end, so a pattern of no steps also ends.
  const int end = playLength_ + kFirstStepRow;
  if (playRow_ >= end && Toggles::RepeatIsOn(repeatPatternImage_)) playRow_ = kFirstStepRow;
  if (playRow_ >= end) {
    DXTimer2_.SetEnabled(false);
    EnablePlayButtons(true);
  }
}

void PlaybackEngine::ClickOnBeat() {
  using When = PatternClick::When;
  if (click_.when == When::Never || !stepPlace_ || patternRow_ < 0) return;
  const int bar = std::max(1, click_.barSteps);
  const int beat = std::max(1, click_.beatSteps);
  if (click_.when == When::FirstBar && patternRow_ >= bar) return;
  const int64_t inBar = patternRow_ % bar;
  if (inBar % beat == 0) sound_.Click(inBar == 0, *stepPlace_);
}
