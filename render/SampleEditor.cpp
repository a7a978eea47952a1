#include "render/SampleEditor.h"

#include <algorithm>
#include <system_error>

#include "common/Exception.h"
#include "common/Text.h"
#include "common/UiThread.h"
#include "kit/AudioStream.h"
#include "kit/DXSounds.h"
#include "kit/SoundFormat.h"
#include "kit/WaveformSource.h"

namespace {

int Clamp(int64_t value, int low, int high) {
  return static_cast<int>(std::clamp<int64_t>(value, low, high));
}

// The work copy of an opened file. Choosing the work copy itself copies
// nothing, where copying a file onto itself would fail.
void CopyWorkFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::error_code error;
  if (std::filesystem::equivalent(from, to, error)) return;
  std::filesystem::create_directories(to.parent_path(), error);
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
  if (!error) return;
  if (!std::filesystem::exists(from)) throw EFOpenError(from.string());
  throw EFCreateError(to.string());
}

}  // namespace

std::string SlotCaption(int slot, const std::string& fileName) {
  return "Sample " + std::to_string(slot) + " : " + fileName;
}

SampleEditor::SampleEditor(TDXSound& sound, UiThread& ui, std::filesystem::path homeDir,
                           Guard guard)
    : sound_(sound),
      ui_(ui),
      homeDir_(std::move(homeDir)),
      guard_(std::move(guard)),
      slots_(sound, ui, homeDir_ / "temp") {
  slots_.OnError = [this](const std::string& message) {
    guard_([&] { throw Exception(message); });
  };
}

SampleEditor::~SampleEditor() {
  timer_.reset();
}

void SampleEditor::FormCreate() {
  slots_.LoadBlanks();
}

void SampleEditor::SetCurrentSlot(int n) {
  current_ = n;
}

void SampleEditor::LoadSlotControls(int n) {
  controls_.panBar =
      Clamp(RoundTiesEven(slots_.Pan(n) * 0.01), controls_.kPanMin, controls_.kPanMax);
  controls_.volumeBar =
      Clamp(RoundTiesEven(slots_.Volume(n) * 0.01), controls_.kVolumeMin, controls_.kVolumeMax);
  controls_.fileRate = slots_.FileRate(n);
  ShowFrequency(slots_.Frequency(n));
}

void SampleEditor::MarkHoldingSample() {
  holdsSample_ = true;
  if (HasSlot()) controls_.fileRate = slots_.FileRate(current_);
  controls_.playEnabled = true;
  controls_.barsEnabled = true;
  Changed();
}

void SampleEditor::ShowFrequencyBar(int64_t frequency) {
  ShowFrequency(frequency);
  Changed();
}

void SampleEditor::OpenFile(const std::string& path) {
  if (!HasSlot()) return;
  // Decoded first: a file that can't be decoded, or a cancelled decode,
  // changes nothing.
  const SoundFile sound = slots_.Import(current_, path);
  FileCloseClick();
  try {
    OpenSteps(sound);
  } catch (...) {
    FileCloseClick();
    controls_.fileRate = slots_.FileRate(current_);
    throw;
  }
}

void SampleEditor::OpenSteps(const SoundFile& sound) {
  const std::string& path = sound.chosen;
  // The title keeps naming the slot, as choosing it in Extra samples does.
  controls_.caption = SlotCaption(current_, path);
  if (OnSlotButtonCaption) OnSlotButtonCaption(current_, SlotShortName(path));
  // Always the first work file, whichever slot is current; the render
  // rewrites every slot's work file from its own file anyway.
  CopyWorkFile(sound.readable, homeDir_ / "temp" / "sample1.wav");
  slots_.Open(current_, sound);
  slots_.SetPrimaryFormatFor(current_);
  holdsSample_ = true;
  controls_.playEnabled = true;
  controls_.barsEnabled = true;
  controls_.panBar = 0;
  controls_.volumeBar = 0;
  const uint32_t rate = slots_.Frequency(current_);
  controls_.fileRate = slots_.FileRate(current_);
  ShowFrequency(rate);
  slots_.SetBaseFrequency(current_, rate);
}

void SampleEditor::FileCloseClick() {
  timer_.reset();
  controls_.playEnabled = false;
  controls_.barsEnabled = false;
}

void SampleEditor::PlayButtonClick() {
  if (!HasSlot()) return;
  slots_.Restart(current_);
  if (!timer_)
    timer_ = ui_.StartTimer(kCheckInterval, [this] { guard_([this] { TimerTimer(); }); });
}

void SampleEditor::TimerTimer() {
  if (!HasSlot()) {
    timer_.reset();
    return;
  }
  try {
    if (slots_.Playing(current_)) return;
    slots_.SetPosition(current_, 0);
    StopButtonClick();
  } catch (...) {
    // One report, not one every 100 ms.
    timer_.reset();
    Changed();
    throw;
  }
  Changed();
}

void SampleEditor::StopButtonClick() {
  slots_.Stop(current_);
  slots_.SetPosition(current_, 0);
  controls_.playEnabled = true;
  timer_.reset();
}

void SampleEditor::PanTrackBarChange(int position) {
  controls_.panBar = Clamp(position, controls_.kPanMin, controls_.kPanMax);
  if (HasSlot()) slots_.SetPan(current_, controls_.panBar * 100);
}

void SampleEditor::VolumeTrackBarChange(int position) {
  controls_.volumeBar = Clamp(position, controls_.kVolumeMin, controls_.kVolumeMax);
  if (HasSlot()) slots_.SetVolume(current_, controls_.volumeBar * 100);
}

void SampleEditor::FrequencyTrackBarChange(int position) {
  controls_.frequencyBar = Clamp(position, controls_.kFrequencyMin, controls_.kFrequencyMax);
  controls_.frequency = controls_.frequencyBar;
  if (HasSlot()) slots_.SetFrequency(current_, controls_.frequencyBar);
}

bool SampleEditor::SemitoneStep(int step) {
  if (!HasSlot() || slots_.Empty(current_)) return false;
  ShowFrequency(slots_.StepSemitone(current_, step));
  slots_.Restart(current_);
  return true;
}

void SampleEditor::GlobalFocusItemClick() {
  controls_.globalFocusChecked = !controls_.globalFocusChecked;
  const TDXSoundOptions options = sound_.Options();
  sound_.SetOptions(controls_.globalFocusChecked ? (options | soGlobalFocus)
                                                 : (options & ~TDXSoundOptions{soGlobalFocus}));
  if (HasSlot() && !slots_.FileName(current_).empty()) slots_.RecreateBuffer(current_);
}

void SampleEditor::Button1Click() {
  if (HasSlot()) slots_.Stop(current_);
}

std::shared_ptr<const WaveformPeaks> SampleEditor::Waveform() {
  if (!HasSlot() || slots_.Empty(current_)) return nullptr;
  const std::string file = slots_.ReadableFile(current_);
  if (file.empty()) return nullptr;
  try {
    return WaveformOfFile(waveforms_, file);
  } catch (const std::exception&) {
    return nullptr;  // opening the file reported what is wrong with it
  }
}

int64_t SampleEditor::PlayingFrame() {
  if (!HasSlot() || !slots_.Playing(current_)) return -1;
  TAudioFileStream& stream = slots_.Stream(current_);
  const auto layout = ParseSampleLayout(stream.Format());
  if (!layout || layout->blockAlign == 0) return -1;
  return stream.PlayingPosition() / layout->blockAlign;
}

void SampleEditor::ShowFrequency(int64_t frequency) {
  controls_.frequency = frequency;
  controls_.frequencyBar = Clamp(frequency, controls_.kFrequencyMin, controls_.kFrequencyMax);
}

void SampleEditor::Changed() {
  if (OnChanged) OnChanged();
}
