#pragma once
// The playback engine of the main window: the pattern player (DXTimer2) and
// the song player (DXTimer1), the tempo values, the three tool bar toggles
// and the play sequence. Everything runs on the UI thread; each timer tick
// is handed over to it.
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/UiThread.h"
#include "song/HitGroove.h"
#include "song/PlayObserver.h"
#include "song/PlaybackHost.h"
#include "song/PlaybackSound.h"
#include "song/Playhead.h"
#include "song/StepClock.h"
#include "song/SuperTimer.h"
#include "song/Tempo.h"

class PlaybackEngine {
 public:
  static constexpr const char* kStopMark = "Stop";
  static constexpr const char* kPatternHeader = "//";
  static constexpr const char* kEndOfSong = "%%%";
  static constexpr int kChannels = 6;
  static constexpr int kFirstStepRow = 2;
  static constexpr int kSlotsStopped = 16;  // Stop leaves slots 17..32 sounding

  // host and sound must outlive the engine. Both timers start disabled with
  // their default interval of 1000 ms. Both players place their steps in the
  // frames of sound's output: a player's first step sounds as soon as it can
  // after its start, each later one a step interval after the one before.
  PlaybackEngine(UiThread& ui, PlaybackHost& host, PlaybackSound& sound);
  PlaybackEngine(const PlaybackEngine&) = delete;
  PlaybackEngine& operator=(const PlaybackEngine&) = delete;

  // ---- handlers ----
  // Start-up: the tempo values and the read-out from Delay's position, which
  // also becomes the global speed.
  void SetUpTempo();
  // A user move of Delay: the global speed and every tempo value follow it.
  // Neither timer is touched.
  void DelayChange();
  // After Delay was set from a loaded pattern: tempo, step interval and read-out.
  void FollowDelay();
  void ToolButton3Click();   // repeat pattern
  void ToolButton8Click();   // repeat play list
  void ToolButton19Click();  // global speed
  void BitBtn3Click();       // play pattern
  void BitBtn12Click();      // play song
  void BitBtn4Click();       // stop both players
  // A transport's start: the song from the play list's first entry, placed
  // so that its time s sounds at output frame frameOfZero + round(s * rate).
  // Rows before position (a frame of song time) and rows no play can reach
  // any more pass by silently. False, and nothing playing, when no row is
  // left to play.
  bool StartSongAtFrame(std::int64_t position, std::int64_t frameOfZero);
  // The transport's frame 0 now falls on another output frame (the server
  // skipped blocks, or rolled later): later steps are made in time for it.
  void RetimeSong(std::int64_t frameOfZero) { songClock_.MoveZero(frameOfZero); }
  // The play list was cleared: the song stops, the pattern player plays on.
  void PlayListCleared();
  // A render compiles the play list as a song start does: the song player's
  // position and stop mark start afresh.
  void ResetSongPosition() {
    stopMark_.clear();
    sequencePos_ = 0;
  }
  void DXSound1Initialize();
  // The program ends by exit(): both timers' workers end, the window untouched.
  void EndTimers() {
    DXTimer1_.EndWorker();
    DXTimer2_.EndWorker();
  }
  void DXTimer2Timer();  // one pattern step
  void DXTimer1Timer();  // one song step

  // The song's swing and humanize: both players follow a change from their
  // next step on.
  void SetGroove(const Groove& groove);
  const Groove& CurrentGroove() const { return groove_; }

  // Told where every step and hit sounds (MIDI out); none: nothing is
  // told. Must outlive the engine or be taken off first.
  void SetPlayObserver(PlayObserver* observer) { observer_ = observer; }

  // The pattern player's metronome: a click on every beat, the bar's first
  // accented, counted from the pattern's start (recording's count-in and
  // guide). Takes effect from the next step.
  struct PatternClick {
    enum class When { Never, FirstBar, Always };
    When when = When::Never;
    int barSteps = 16;
    int beatSteps = 4;
    bool operator==(const PatternClick&) const = default;
  };
  void SetPatternClick(const PatternClick& click) { click_ = click; }
  const PatternClick& CurrentPatternClick() const { return click_; }

  // Told the message of an error that escaped a step (a tempo line that is no
  // number, say), once per message while the players run; the player goes
  // on. Runs on the UI thread inside the tick: show it without blocking.
  std::function<void(const std::string& message)> OnError;

  // ---- state ----
  TSuperTimer& DXTimer1() { return DXTimer1_; }
  TSuperTimer& DXTimer2() { return DXTimer2_; }
  const TempoValues& Tempo() const { return tempo_; }
  int RepeatPatternImage() const { return repeatPatternImage_; }
  int RepeatListImage() const { return repeatListImage_; }
  int GlobalSpeedImage() const { return globalSpeedImage_; }
  const std::string& StopMark() const { return stopMark_; }
  int SequencePos() const { return sequencePos_; }
  int PlayLength() const { return playLength_; }
  int PlayRow() const { return playRow_; }
  int SampleRate() const { return sampleRate_; }
  int BitsPerSample() const { return bitsPerSample_; }
  // The play sequence (the hidden MainPlay list): the compile appends to it,
  // the render reads it and empties it when done.
  std::vector<std::string>& MainPlay() { return mainPlay_; }
  bool PatternPlaying() const { return DXTimer2_.Enabled(); }
  bool SongPlaying() const { return DXTimer1_.Enabled(); }
  // Where each player's next step sounds.
  const StepClock& SongClock() const { return songClock_; }
  const StepClock& PatternClock() const { return patternClock_; }
  // What the players placed, for the windows to read at any time.
  const PlayheadRecord& Playhead() const { return playhead_; }
  // The step heard at `now`: its grid row (pattern) or sequence position (song).
  std::optional<PlayheadMark> SoundingAt(PlaybackSound::Clock::time_point now) const {
    return playhead_.Sounding(sound_.HeardFrame(now), now);
  }
  // No step placed is still to be heard.
  bool PlayheadFinished(PlaybackSound::Clock::time_point now) const {
    return playhead_.Finished(sound_.HeardFrame(now), now);
  }

 private:
  using Clock = PlaybackSound::Clock;

  void EnablePlayButtons(bool enabled);
  // Sounds one cell; a cell that cannot sound is skipped, the step goes on.
  void TriggerCell(const std::string& text);
  // Runs a step with its plays placed where the clock puts it, then asks
  // the timer for the next step's call.
  void RunStep(StepClock& clock, void (PlaybackEngine::*step)());
  void StartClock(TSuperTimer& timer, StepClock& clock);
  // Passes rows until the first whose frame is at or after both; false at
  // the song's end.
  bool SkipSongRowsBefore(std::int64_t position, std::int64_t earliest, std::int64_t frameOfZero,
                          double& seconds);
  void PlaySongRow();
  void ScheduleSongStep();
  void PlayPatternRow();
  // The gap before the row at position: the render counts the one before a
  // pattern's first row in that pattern's tempo.
  int SongGapBefore(int position);
  const std::string& LineAt(int position) const;
  bool AtEndOfSong() const;
  void ReadPatternHeader();
  void EndOfSong();
  void StopSong();
  void ReportStepError(const std::string& message);
  // The step now playing sounds where stepPlace_ puts it.
  void MarkStep(PlayheadMark::Kind kind, int64_t where);
  // The player ended by itself: its last step sounds for one more interval.
  void MarkEnd(int intervalMs);
  // The observer's side of a step: the step's sound time, the next one's,
  // the user's stop.
  void TellStep(const PlaybackSound::StepPlace& place);
  void TellNextStep(const StepClock& clock);
  void TellStopped();
  // Where a cell of the step now playing sounds under the groove.
  std::optional<PlaybackSound::StepPlace> PlaceOfCell(const std::string& text) const;
  // The step rows each player has reached, as the render counts them.
  void StartSongRows();
  // The play list compiled and the song set at its first row; on an error
  // nothing half built stays behind and the play buttons are back.
  void CompileSongFromStart();
  void CountSongRow(bool startsBlock);
  void CountPatternRow();
  // The metronome's click when the step now playing is on a beat.
  void ClickOnBeat();

  PlaybackHost& host_;
  PlaybackSound& sound_;
  TSuperTimer DXTimer1_;
  TSuperTimer DXTimer2_;
  TempoValues tempo_;
  int repeatPatternImage_;
  int repeatListImage_;
  int globalSpeedImage_;
  std::string stopMark_;
  int sequencePos_ = 0;
  int playLength_ = 0;
  int playRow_ = 0;
  int sampleRate_ = 44200;  // not 44100: the format the device has always been given
  int bitsPerSample_ = 16;
  std::vector<std::string> mainPlay_;
  std::set<std::string> reportedErrors_;  // since the last start of a player
  StepClock songClock_{sound_};
  int songStepMs_ = 0;  // the song's step, from the last header reached
  StepClock patternClock_{sound_};
  std::optional<PlaybackSound::StepPlace> stepPlace_;  // while a step plays
  PlayheadRecord playhead_;
  PlayheadMark lastMark_;                 // the last step marked
  const StepClock* stepClock_ = nullptr;  // while a step plays
  Groove groove_;
  std::optional<HitSpot> stepSpot_;  // the row now playing, for the groove
  std::int64_t songRow_ = -1;
  std::int64_t songBlockStart_ = 0;
  std::int64_t patternRow_ = -1;
  PlayObserver* observer_ = nullptr;
  PatternClick click_;
  Clock::time_point lastStepSound_{};  // where the last step placed sounds
};
