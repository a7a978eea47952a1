#include "render/SampleSlots.h"

#include <optional>

#include "common/Exception.h"
#include "common/Text.h"
#include "kit/AudioStream.h"
#include "kit/DXSounds.h"
#include "kit/DirectX.h"
#include "kit/Wave.h"
#include "render/SemitoneSteps.h"

namespace {

// What a slot carries over when its stream is made again on another device.
struct SlotState {
  std::string fileName;
  bool settingsKnown = false;
  uint32_t frequency = 0;
  int32_t pan = 0;
  int32_t volume = 0;
};

SlotState Remember(TAudioFileStream* stream) {
  SlotState state;
  if (!stream) return state;
  state.fileName = stream->FileName();
  if (stream->Buffer().Made()) {
    state.settingsKnown = true;
    state.frequency = stream->Frequency();
    state.pan = stream->Pan();
    state.volume = stream->Volume();
  }
  return state;
}

void Reopen(TAudioFileStream& stream, const SlotState& state) {
  if (state.fileName.empty()) return;
  stream.SetFileName(state.fileName);
  if (!state.settingsKnown || !stream.Buffer().Made()) return;
  stream.SetFrequency(state.frequency);
  stream.SetPan(state.pan);
  stream.SetVolume(state.volume);
}

}  // namespace

struct SampleSlots::Slot {
  std::unique_ptr<TAudioFileStream> stream;
  std::string chosen;  // the file as named, where the stream may read its decoded WAV
  std::optional<FileStamp> decodedFrom;  // the chosen file's stamp when it was decoded
  SlotPitch pitch;
  // The settings of the last buffer, kept while there is no device.
  SlotState carried;
};

SampleSlots::SampleSlots(TDXSound& sound, UiThread& ui, std::filesystem::path tempDir)
    : sound_(sound), ui_(ui), tempDir_(std::move(tempDir)) {
  slots_.reserve(kCount);
  for (int n = 1; n <= kCount; ++n) slots_.push_back(std::make_unique<Slot>());
  MakeStreams(sound_.DSound());
  sound_.RegisterNotifyEvent(
      this, [this](TDXSound&, TDXSoundNotifyType notice) { DeviceNotice(notice); });
}

SampleSlots::~SampleSlots() {
  sound_.UnRegisterNotifyEvent(this);
}

// A stream must not outlive the device it plays on: when the device closes
// the slots move to streams without one, and back when it opens again.
void SampleSlots::DeviceNotice(TDXSoundNotifyType notice) {
  if (notice == TDXSoundNotifyType::dsntFinalize) MakeStreams(nullptr);
  if (notice == TDXSoundNotifyType::dsntInitialize) MakeStreams(sound_.DSound());
}

void SampleSlots::MakeStreams(TDirectSound* device) {
  std::string firstError;
  for (auto& slot : slots_) {
    SlotState state = Remember(slot->stream.get());
    if (state.settingsKnown)
      slot->carried = state;
    else if (slot->carried.settingsKnown && slot->carried.fileName == state.fileName)
      state = slot->carried;
    slot->stream.reset();
    slot->stream = std::make_unique<TAudioFileStream>(device, ui_);
    slot->stream->OnError = [this](const std::string& message) {
      if (OnError) OnError(message);
    };
    try {
      Reopen(*slot->stream, state);
    } catch (const std::exception& error) {
      if (firstError.empty()) firstError = error.what();
    }
  }
  if (!firstError.empty() && OnError) OnError(firstError);
}

SampleSlots::Slot& SampleSlots::At(int n) {
  if (n < 1 || n > kCount) throw Exception("Sample slot " + std::to_string(n) + " does not exist");
  return *slots_[n - 1];
}

const SampleSlots::Slot& SampleSlots::At(int n) const {
  return const_cast<SampleSlots*>(this)->At(n);
}

void SampleSlots::LoadBlanks(const std::string& blankName) {
  for (int n = 1; n <= kCount; ++n) {
    SetFileName(n, blankName);
    SetPrimaryFormatFor(n);
    At(n).pitch.offsetCents = 0;
  }
}

TAudioFileStream& SampleSlots::Stream(int n) {
  return *At(n).stream;
}

void SampleSlots::Restart(int n) {
  TAudioFileStream& stream = Stream(n);
  stream.SetPosition(0);
  stream.Play();
}

void SampleSlots::Stop(int n) {
  Stream(n).Stop();
}

bool SampleSlots::Playing(int n) {
  return Stream(n).Playing();
}

void SampleSlots::SetPosition(int n, int64_t bytes) {
  Stream(n).SetPosition(bytes);
}

std::string SampleSlots::FileName(int n) {
  return Stream(n).FileName().empty() ? "" : At(n).chosen;
}

std::string SampleSlots::ReadableFile(int n) {
  return Stream(n).FileName();
}

bool SampleSlots::Empty(int n) {
  return FileNamePart(FileName(n)) == kBlankName;
}

SoundFile SampleSlots::Import(int n, const std::string& path) {
  const Slot& slot = At(n);  // a slot number outside 1..32 is refused before any decoding
  const std::string decoded = DecodedWorkFile(tempDir_, "sample", n).string();
  // Loading a pattern again names the same file again: what the slot decoded
  // from it still stands while the file is unchanged.
  if (slot.decodedFrom && slot.chosen == path && slot.stream->FileName() == decoded &&
      StampOf(path) == slot.decodedFrom)
    return {path, decoded};
  return ImportSoundFile(path, decoded);
}

void SampleSlots::Open(int n, const SoundFile& sound) {
  Slot& slot = At(n);
  slot.carried = {};  // a fresh sound starts from its own settings
  slot.chosen = sound.chosen;
  slot.decodedFrom.reset();
  slot.stream->SetFileName(sound.readable);
  if (sound.readable != sound.chosen) slot.decodedFrom = StampOf(sound.chosen);
}

void SampleSlots::SetFileName(int n, const std::string& path) {
  Open(n, Import(n, path));
}

void SampleSlots::LoadFile(int n, const std::string& path, int64_t frequency) {
  SetFileName(n, path);
  SetBaseFrequency(n, frequency);
  SetFrequency(n, frequency);
}

uint32_t SampleSlots::Frequency(int n) {
  return Stream(n).Frequency();
}

void SampleSlots::SetFrequency(int n, int64_t frequency) {
  TAudioFileStream& stream = Stream(n);
  if (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX) {
    (void)stream.Frequency();  // still "not made" without a buffer, as any setting
    return;
  }
  stream.SetFrequency(static_cast<uint32_t>(frequency));
}

int32_t SampleSlots::Pan(int n) {
  return Stream(n).Pan();
}

void SampleSlots::SetPan(int n, int32_t pan) {
  Stream(n).SetPan(pan);
}

int32_t SampleSlots::Volume(int n) {
  return Stream(n).Volume();
}

void SampleSlots::SetVolume(int n, int32_t volume) {
  Stream(n).SetVolume(volume);
}

int SampleSlots::BitsPerSample(int n) {
  const std::vector<uint8_t>& format = Stream(n).Format();
  if (format.size() < 16) return 0;
  return format[14] | (format[15] << 8);
}

void SampleSlots::RecreateBuffer(int n) {
  Stream(n).RecreateBuffer();
}

int64_t SampleSlots::BaseFrequency(int n) const {
  return At(n).pitch.baseFrequency;
}

void SampleSlots::SetBaseFrequency(int n, int64_t frequency) {
  At(n).pitch.baseFrequency = frequency;
}

int SampleSlots::SemitoneOffset(int n) const {
  return At(n).pitch.offsetCents;
}

uint32_t SampleSlots::StepSemitone(int n, int step) {
  SetFrequency(n, At(n).pitch.Step(step));
  return Frequency(n);
}

void SampleSlots::SetPrimaryFormatFor(int n) {
  TDirectSoundBuffer* primary = sound_.Primary();
  if (!primary) return;
  primary->SetFormat(Wave::MakePcmFormat(44100, static_cast<uint16_t>(BitsPerSample(n)), 2));
}
