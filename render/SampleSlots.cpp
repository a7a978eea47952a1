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

// The rate a file plays at when opened: its own, from its format block.
uint32_t OwnRate(TAudioFileStream& stream) {
  if (!stream.WaveStream()) return 0;
  const std::vector<uint8_t>& format = stream.Format();
  if (format.size() < 8) return 0;
  return format[4] | (format[5] << 8) | (format[6] << 16) |
         (static_cast<uint32_t>(format[7]) << 24);
}

}  // namespace

// A slot's pitch, pan and volume are its own: the device buffer, when there
// is one, only follows them. So a machine without sound still saves, opens
// and renders songs with the slots' settings.
struct SampleSlots::Slot {
  std::unique_ptr<TAudioFileStream> stream;
  std::string chosen;  // the file as named, where the stream may read its decoded WAV
  std::optional<FileStamp> decodedFrom;  // the chosen file's stamp when it was decoded
  SlotPitch pitch;
  uint32_t frequency = 0;
  int32_t pan = 0;
  int32_t volume = 0;

  void ApplyToBuffer() {
    if (!stream->Buffer().Made()) return;
    stream->SetFrequency(frequency);
    stream->SetPan(pan);
    stream->SetVolume(volume);
  }
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
    const std::string fileName = slot->stream ? slot->stream->FileName() : "";
    slot->stream.reset();
    slot->stream = std::make_unique<TAudioFileStream>(device, ui_);
    slot->stream->OnError = [this](const std::string& message) {
      if (OnError) OnError(message);
    };
    try {
      if (fileName.empty()) continue;
      slot->stream->SetFileName(fileName);
      slot->ApplyToBuffer();
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
  // A fresh sound starts from its own settings: its rate, centred, full level.
  slot.frequency = 0;
  slot.pan = 0;
  slot.volume = 0;
  slot.chosen = sound.chosen;
  slot.decodedFrom.reset();
  slot.stream->SetFileName(sound.readable);
  slot.frequency = OwnRate(*slot.stream);
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
  return At(n).frequency;
}

uint32_t SampleSlots::FileRate(int n) {
  return OwnRate(*At(n).stream);
}

void SampleSlots::SetFrequency(int n, int64_t frequency) {
  Slot& slot = At(n);
  if (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX) return;
  slot.frequency = static_cast<uint32_t>(frequency);
  slot.ApplyToBuffer();
}

int32_t SampleSlots::Pan(int n) {
  return At(n).pan;
}

void SampleSlots::SetPan(int n, int32_t pan) {
  Slot& slot = At(n);
  if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return;
  slot.pan = pan;
  slot.ApplyToBuffer();
}

int32_t SampleSlots::Volume(int n) {
  return At(n).volume;
}

void SampleSlots::SetVolume(int n, int32_t volume) {
  Slot& slot = At(n);
  if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return;
  slot.volume = volume;
  slot.ApplyToBuffer();
}

int SampleSlots::BitsPerSample(int n) {
  const std::vector<uint8_t>& format = Stream(n).Format();
  if (format.size() < 16) return 0;
  return format[14] | (format[15] << 8);
}

void SampleSlots::RecreateBuffer(int n) {
  Slot& slot = At(n);
  slot.stream->RecreateBuffer();
  slot.ApplyToBuffer();
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
