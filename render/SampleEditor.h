#pragma once
// The sample editor's state and rules: the 32 slots, the slot it works on,
// and what its controls show. TMainForm is a view of this object; every
// handler here is what one user action does.
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "kit/WaveformCache.h"
#include "render/SampleSlots.h"

class TDXSound;
class UiThread;
class UiTimer;

// What the editor's controls show.
struct SampleEditorControls {
  static constexpr int kPanMin = -40, kPanMax = 40;
  static constexpr int kVolumeMin = -40, kVolumeMax = 0;
  static constexpr int kFrequencyMin = 4410, kFrequencyMax = 44100;

  std::string caption = "Sample1";
  bool playEnabled = false;  // PlayButton
  bool barsEnabled = false;  // the Pan, Volume and Pitch bars
  int panBar = 0;
  int volumeBar = 0;
  int frequencyBar = kFrequencyMin;
  int64_t frequency = kFrequencyMin;  // what the slot plays at, also beyond the bar's range
  int64_t fileRate = 0;               // the slot file's own rate, 0 without a file
  bool globalFocusChecked = true;
};

// The editor's title for a slot: "Sample 3 : /samples/conga.wav".
std::string SlotCaption(int slot, const std::string& fileName);

class SampleEditor {
 public:
  // Runs an action outside any window handler (the play check's ticks) so
  // that an error is reported rather than escaping.
  using Guard = std::function<void(const std::function<void()>&)>;

  static constexpr std::chrono::milliseconds kCheckInterval{100};

  // homeDir receives the work copy temp/sample1.wav of each opened file.
  SampleEditor(TDXSound& sound, UiThread& ui, std::filesystem::path homeDir, Guard guard);
  ~SampleEditor();
  SampleEditor(const SampleEditor&) = delete;
  SampleEditor& operator=(const SampleEditor&) = delete;

  SampleSlots& Slots() { return slots_; }
  const SampleEditorControls& Controls() const { return controls_; }

  // Told when the controls changed outside a call from the window (a tick).
  std::function<void()> OnChanged;
  // Told the new caption of a slot's button in the Extra samples window.
  std::function<void(int slot, const std::string& caption)> OnSlotButtonCaption;

  // Window creation: every slot gets "Blank.wav"; offsets start at 0.
  void FormCreate();

  // 0 until a slot is chosen; handlers that need a slot do nothing without.
  int CurrentSlot() const { return current_; }
  void SetCurrentSlot(int n);
  void SetCaption(const std::string& caption) { controls_.caption = caption; }
  // Loads slot n's pan, volume and frequency into the bars.
  void LoadSlotControls(int n);
  // A loader put a file into a slot: the controls come alive.
  void MarkHoldingSample();
  // A song opened elsewhere sets the Pitch bar (its handler doesn't run).
  void ShowFrequencyBar(int64_t frequency);
  bool HoldsSample() const { return holdsSample_; }

  // "&Open" after the dialog returned path; "&Close".
  void OpenFile(const std::string& path);
  void FileCloseClick();
  void PlayButtonClick();
  void TimerTimer();
  bool TimerRunning() const { return timer_ != nullptr; }
  void PanTrackBarChange(int position);
  void VolumeTrackBarChange(int position);
  void FrequencyTrackBarChange(int position);
  // A semitone step of step cents; false when the slot is empty.
  bool SemitoneStep(int step);
  void GlobalFocusItemClick();
  // "OK": stops the current slot (the window then hides).
  void Button1Click();

  // The current slot's sound as a waveform; null for an empty slot, one
  // without a wave or a file that can't be read again.
  std::shared_ptr<const WaveformPeaks> Waveform();
  // The frame of the current slot's sound that plays now; -1 when it doesn't.
  int64_t PlayingFrame();

 private:
  bool HasSlot() const { return current_ >= 1 && current_ <= SampleSlots::kCount; }
  void OpenSteps(const SoundFile& sound);
  void StopButtonClick();
  void ShowFrequency(int64_t frequency);
  void Changed();

  TDXSound& sound_;
  UiThread& ui_;
  std::filesystem::path homeDir_;
  Guard guard_;
  SampleSlots slots_;
  SampleEditorControls controls_;
  int current_ = 0;
  bool holdsSample_ = false;
  std::unique_ptr<UiTimer> timer_;
  WaveformCache waveforms_{SampleSlots::kCount};
};
