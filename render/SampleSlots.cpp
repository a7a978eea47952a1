#include "render/SampleSlots.h"

#include "common/Exception.h"
#include "common/Text.h"
#include "kit/AudioStream.h"
#include "kit/DXSounds.h"
#include "kit/DirectX.h"
#include "kit/Wave.h"
#include "render/SemitoneSteps.h"

struct SampleSlots::Slot {
  Slot(TDXSound& sound, UiThread& ui) : stream(sound, ui) {}
  TAudioFileStream stream;
  SlotPitch pitch;
};

SampleSlots::SampleSlots(TDXSound& sound, UiThread& ui) : sound_(sound) {
  slots_.reserve(kCount);
  for (int n = 1; n <= kCount; ++n) slots_.push_back(std::make_unique<Slot>(sound, ui));
}

SampleSlots::~SampleSlots() = default;

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
  return At(n).stream;
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
  return Stream(n).FileName();
}

bool SampleSlots::Empty(int n) {
  return FileNamePart(FileName(n)) == kBlankName;
}

void SampleSlots::SetFileName(int n, const std::string& path) {
  Stream(n).SetFileName(path);
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
  Stream(n).RecreateDSBuffer();
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
  const int bits = BitsPerSample(n);
  if (TDirectSoundBuffer* primary = sound_.Primary())
    primary->SetFormat(Wave::MakePcmFormat(44100, static_cast<uint16_t>(bits), 2));
}
