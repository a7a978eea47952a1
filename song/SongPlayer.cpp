// The song player: plays the play sequence, one row of six cells per tick of
// DXTimer1, taking each pattern's tempo from its header.
#include <exception>

#include "common/Text.h"
#include "song/PlaybackEngine.h"
#include "song/Toggles.h"

void PlaybackEngine::BitBtn12Click() {
  reportedErrors_.clear();
  EnablePlayButtons(false);
  if (host_.PlayListCount() == 0) {
    EnablePlayButtons(true);
    return;
  }
  CompileSongFromStart();
  StartClock(DXTimer1_, songClock_);
  DXTimer1_.SetEnabled(true);
}

void PlaybackEngine::CompileSongFromStart() {
  try {
    host_.CompilePlayList(mainPlay_);
  } catch (...) {
    // Nothing half built stays behind: no partial sequence, no song playing it.
    StopSong();
    EnablePlayButtons(true);
    throw;
  }
  sequencePos_ = 0;
  StartSongRows();
  stopMark_.clear();
  playhead_.Clear();  // steps of an earlier start still to come are not heard
  DXSound1Initialize();
  songStepMs_ = DXTimer1_.Interval();
  SongGapBefore(sequencePos_);
}

void PlaybackEngine::DXTimer1Timer() {
  try {
    RunStep(songClock_, &PlaybackEngine::PlaySongRow);
  } catch (...) {
    ScheduleSongStep();
    throw;
  }
  ScheduleSongStep();
}

void PlaybackEngine::ScheduleSongStep() {
  if (!DXTimer1_.Enabled()) {
    if (stopMark_ != kStopMark) MarkEnd(songStepMs_);
    return;
  }
  songClock_.Advance(SongGapBefore(sequencePos_));
  DXTimer1_.ScheduleNext(songClock_.CallTime());
  TellNextStep(songClock_);
}

// As the render counts it: the gap before a row that starts a pattern is in
// that pattern's tempo, so a new tempo holds from the gap before its first
// step. Taken from the header itself, never from the tempo bar.
int PlaybackEngine::SongGapBefore(int position) {
  if (LineAt(position) != kPatternHeader) return songStepMs_;
  int tempo = 0;
  try {
    tempo = ParseWholeNumber(LineAt(position + 1));
  } catch (const std::exception&) {
    return songStepMs_;  // the header's own step reports it
  }
  if (Toggles::GlobalSpeedIsOn(globalSpeedImage_)) tempo = tempo_.GlobalSpeed();
  songStepMs_ = StepIntervalFor(ClampTempoPosition(tempo));
  return songStepMs_;
}

void PlaybackEngine::PlaySongRow() {
  if (sequencePos_ < 0 || sequencePos_ >= static_cast<int>(mainPlay_.size())) {
    EndOfSong();  // the sequence was emptied under the song
    return;
  }
  const bool startsBlock = LineAt(sequencePos_) == kPatternHeader;
  if (startsBlock) ReadPatternHeader();
  CountSongRow(startsBlock);
  host_.ShowSongRow(sequencePos_);
  MarkStep(PlayheadMark::Kind::Song, sequencePos_);
  for (int cell = 0; cell < kChannels; ++cell) {
    TriggerCell(LineAt(sequencePos_));
    ++sequencePos_;
    if (AtEndOfSong()) {
      EndOfSong();
      return;
    }
  }
}

void PlaybackEngine::ReadPatternHeader() {
  ++sequencePos_;
  int position = ClampTempoPosition(ParseWholeNumber(LineAt(sequencePos_)));
  if (Toggles::GlobalSpeedIsOn(globalSpeedImage_)) position = tempo_.GlobalSpeed();
  const int interval = tempo_.FollowForHeader(position);
  host_.ShowBeatsPerMinute(tempo_.BeatsPerMinute());
  DXTimer1_.SetInterval(static_cast<std::uint16_t>(interval));
  ++sequencePos_;
}

const std::string& PlaybackEngine::LineAt(int position) const {
  static const std::string none;
  return position >= 0 && position < static_cast<int>(mainPlay_.size()) ? mainPlay_[position]
                                                                        : none;
}

bool PlaybackEngine::AtEndOfSong() const {
  return sequencePos_ >= static_cast<int>(mainPlay_.size()) || LineAt(sequencePos_) == kEndOfSong ||
         stopMark_ == kStopMark;
}

void PlaybackEngine::EndOfSong() {
  if (Toggles::RepeatIsOn(repeatListImage_) && !mainPlay_.empty()) {
    sequencePos_ = 0;
    StartSongRows();
    return;
  }
  mainPlay_.clear();
  EnablePlayButtons(true);
  host_.SelectPlayListEntry(0);
  DXTimer1_.SetEnabled(false);
}
