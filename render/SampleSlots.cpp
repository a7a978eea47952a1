#include "render/SampleSlots.h"

#include <optional>

#include "common/Exception.h"
#include "common/Text.h"
#include "kit/AudioStream.h"
#include "kit/DXSounds.h"
#include "kit/DirectX.h"
#include "kit/Wave.h"
#include "render/SemitoneSteps.h"

struct SampleSlots::Slot {
  std::unique_ptr<TAudioFileStream> stream;  // null while the device is closed
  SlotPitch pitch;
  // Kept while the device is closed, to be applied when it opens again.
  std::string fileName;
  std::optional<uint32_t> frequency;
  int32_t pan = 0;
  int32_t volume = 0;
};

SampleSlots::SampleSlots(TDXSound& sound, UiThread& ui) : sound_(sound), ui_(ui) {
  slots_.reserve(kCount);
  for (int n = 1; n <= kCount; ++n) slots_.push_back(std::make_unique<Slot>());
  MakeStreams();
  sound_.RegisterNotifyEvent(
      this, [this](TDXSound&, TDXSoundNotifyType notice) { DeviceNotice(notice); });
}

SampleSlots::~SampleSlots() {
  sound_.UnRegisterNotifyEvent(this);
  DropStreams();
}

void SampleSlots::DeviceNotice(TDXSoundNotifyType notice) {
  if (notice == TDXSoundNotifyType::dsntFinalize) DropStreams();
  if (notice == TDXSoundNotifyType::dsntInitialize) MakeStreams();
}

// Streams play on the open device only: a stream must not outlive it.
void SampleSlots::DropStreams() {
  for (auto& slot : slots_) {
    if (!slot->stream) continue;
    TAudioFileStream& stream = *slot->stream;
    slot->fileName = stream.FileName();
    slot->frequency.reset();
    if (stream.Buffer().Made()) {
      slot->frequency = stream.Frequency();
      slot->pan = stream.Pan();
      slot->volume = stream.Volume();
    }
    slot->stream.reset();
  }
}

void SampleSlots::MakeStreams() {
  TDirectSound* device = sound_.DSound();
  if (!device) return;
  std::string firstError;
  for (int n = 1; n <= kCount; ++n) {
    Slot& slot = *slots_[n - 1];
    if (slot.stream) continue;
    slot.stream = std::make_unique<TAudioFileStream>(*device, ui_);
    slot.stream->OnError = [this](const std::string& message) {
      if (OnError) OnError(message);
    };
    if (slot.fileName.empty()) continue;
    try {
      slot.stream->SetFileName(slot.fileName);
      if (slot.frequency) slot.stream->SetFrequency(*slot.frequency);
      slot.stream->SetPan(slot.pan);
      slot.stream->SetVolume(slot.volume);
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
  Slot& slot = At(n);
  if (!slot.stream)
    throw EDirectSoundBufferError(FormatMessage("%s not made", "IDirectSoundBuffer"));
  return *slot.stream;
}

void SampleSlots::Restart(int n) {
  TAudioFileStream& stream = Stream(n);
  stream.SetPosition(0);
  stream.Play();
}

// Without a device nothing plays, so there is nothing to stop.
void SampleSlots::Stop(int n) {
  if (TAudioFileStream* stream = At(n).stream.get()) stream->Stop();
}

bool SampleSlots::Playing(int n) {
  const TAudioFileStream* stream = At(n).stream.get();
  return stream && stream->Playing();
}

void SampleSlots::SetPosition(int n, int64_t bytes) {
  Stream(n).SetPosition(bytes);
}

std::string SampleSlots::FileName(int n) {
  const Slot& slot = At(n);
  return slot.stream ? slot.stream->FileName() : slot.fileName;
}

bool SampleSlots::Empty(int n) {
  return FileNamePart(FileName(n)) == kBlankName;
}

void SampleSlots::SetFileName(int n, const std::string& path) {
  Slot& slot = At(n);
  if (!slot.stream) {
    slot.fileName = path;
    slot.frequency.reset();
    slot.pan = slot.volume = 0;
    return;
  }
  slot.stream->SetFileName(path);
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

// Without a device the stream is made with the options of the day when the
// device opens.
void SampleSlots::RecreateBuffer(int n) {
  if (TAudioFileStream* stream = At(n).stream.get()) stream->RecreateBuffer();
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
