#pragma once
// Playback test helpers: a main window stand-in, a sound that records what
// it is asked to sound, sample slots that record calls, and a small kit on a
// device that records its mix.
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/Exception.h"
#include "common/ManualUiThread.h"
#include "kit/DXWaveList.h"
#include "kit/InstrumentPlay.h"
#include "kit/InstrumentTable.h"
#include "kit/SoundTestSupport.h"
#include "song/KitPlaybackSound.h"
#include "song/PlaybackEngine.h"
#include "song/Tempo.h"

class FakeHost : public PlaybackHost {
 public:
  std::map<std::pair<int, int>, std::string> cells;
  int delay = kStartTempoPosition;  // the edited pattern's tempo
  std::string beatsPerMinute;       // as the read-out shows it
  bool patternButton = true, songButton = true;
  int playListCount = 1;
  int selected = -1;
  std::vector<std::string> compiled;  // what each compile appends
  std::function<void()> compileFails;

  std::string Cell(int col, int row) const override {
    const auto it = cells.find({col, row});
    return it == cells.end() ? std::string() : it->second;
  }
  int DelayPosition() const override { return delay; }
  void ShowBeatsPerMinute(double value) override { beatsPerMinute = TempoText(value); }
  void EnablePlayButton(PlayButton button, bool enabled) override {
    (button == PlayButton::Pattern ? patternButton : songButton) = enabled;
  }
  int PlayListCount() const override { return playListCount; }
  void SelectPlayListEntry(int index) override { selected = index; }
  void CompilePlayList(std::vector<std::string>& sequence) override {
    sequence.insert(sequence.end(), compiled.begin(), compiled.end());
    if (compileFails) compileFails();
  }

  // A pattern of the given steps: cell (2,0) and one text per step row in column 1.
  void SetPattern(const std::vector<std::string>& column1) {
    cells[{2, 0}] = std::to_string(column1.size());
    for (size_t i = 0; i < column1.size(); ++i) cells[{1, static_cast<int>(i) + 2}] = column1[i];
  }
};

class RecordingSound : public PlaybackSound {
 public:
  struct Trigger {
    std::string text;
    std::optional<StepPlace> at;
  };
  std::vector<Trigger> triggers;
  std::vector<int> stopped;
  std::vector<uint8_t> format;
  std::function<void(const std::string&)> failOn;

  void TriggerCell(const std::string& text, std::optional<StepPlace> at) override {
    if (failOn) failOn(text);
    if (!text.empty()) triggers.push_back({text, at});
  }
  void StopSlot(int slot) override { stopped.push_back(slot); }
  void SetPrimaryFormat(const std::vector<uint8_t>& bytes) override { format = bytes; }
  std::vector<bool> clicks;  // accent or not, in the order clicked
  void Click(bool accent, const StepPlace&) override { clicks.push_back(accent); }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& t : triggers) texts.push_back(t.text);
    return texts;
  }
};

class FakeSlots : public SlotPlayer {
 public:
  std::vector<int> restarted, stopped;
  int failing = 0;  // a slot that cannot play
  void RestartSlot(int slot) override {
    if (slot == failing) throw EAudioStreamError("slot cannot play");
    restarted.push_back(slot);
  }
  void StopSlot(int slot) override { stopped.push_back(slot); }
};

// A kit of the blank entry, "Kick      [ ]" and "Snare     [ ]" on a device
// recording to a manual tape. Each sound is a constant level for 200 frames,
// so the mix tells which sounded and how loud.
struct KitRig {
  static constexpr int kKickLevel = 8000, kSnareLevel = 20000, kFrames = 200;

  std::shared_ptr<CaptureTape> tape;
  ManualUiThread ui;
  SoundWindow window{5};
  TDXSound device{&window};
  TDXWaveList kit{ui};
  InstrumentTable instruments;
  FakeSlots slots;
  KitPlaybackSound sound{instruments, kit, device};

  explicit KitRig(std::shared_ptr<CaptureTape> output = ManualTape())
      : KitRig(CaptureFactory(output)) {
    tape = std::move(output);
  }
  // The kit on an output the factory makes (JACK's): the tape stays unset.
  explicit KitRig(AudioOutputFactory factory) {
    SetAudioOutputFactory(std::move(factory));
    device.Initialize();
    kit.Items.Add();
    Add("Kick      [ ]", kKickLevel);
    Add("Snare     [ ]", kSnareLevel);
    kit.SetDXSound(&device);
    instruments.Rebuild(kit.Items);
    sound.SetSlotPlayer(&slots);
  }
  ~KitRig() {
    kit.SetDXSound(nullptr);
    device.Finalize();
    SetAudioOutputFactory(nullptr);
  }
  void Add(const std::string& name, int16_t level) {
    auto& item = kit.Items.Add();
    item.SetName(name);
    item.SetWave(MakeWave16(std::vector<int16_t>(2 * kFrames, level)));
  }
  // The loudest left sample of the next frames, in 16-bit units.
  double Listen(int frames = 480) {
    tape->Clear();
    tape->RenderFrames(frames);
    double peak = 0;
    const auto samples = tape->Samples();
    for (size_t i = 0; i < samples.size(); i += 2) peak = std::max(peak, In16(samples[i]));
    return peak;
  }
};

// The level a sound of the given level is heard at after a volume in
// hundredths of a decibel.
inline double Heard(int level, int volume) {
  return level * std::pow(10.0, volume / 2000.0);
}
