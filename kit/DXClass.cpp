#include "kit/DXClass.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "common/Exception.h"
#include "kit/PlayTime.h"

namespace {

constexpr uint32_t kMaxBufferBytes = 0x0FFFFFFF;
constexpr uint32_t kMinBufferBytes = 4;

}  // namespace

// ---- TDirectSound ----

TDirectSound::TDirectSound(std::unique_ptr<AudioOutput> output) {
  if (!output || !output->Open(48000))
    throw EDirectSoundError(FormatMessage("%s cannot be initialized", "DirectSound"));
  Mixer::Settings settings;
  settings.rate = output->Rate();
  settings.periodFrames = output->PeriodFrames();
  settings.stamped = output->RealTime();
  settings.exactBlockTimes = output->ExactBlockTimes();
  mixer_ = std::make_unique<Mixer>(settings);
  voices_ = std::make_unique<VoicePool>(*mixer_);
  output_ = std::move(output);
  Mixer* mixer = mixer_.get();
  const AudioOutput* source = output_.get();
  output_->Start(
      [mixer, source](float* out, int frames) { mixer->Render(out, frames, source->Block()); });
}

TDirectSound::~TDirectSound() {
  output_->Stop();
  const auto buffers = buffers_;
  for (TDirectSoundBuffer* buffer : buffers) buffer->Detach();
  output_.reset();
}

uint32_t TDirectSound::FocusFlags() const {
  if (StickyFocus) return DSBCAPS_STICKYFOCUS;
  if (GlobalFocus) return DSBCAPS_GLOBALFOCUS;
  return 0;
}

bool TDirectSound::SetCooperativeLevel(uintptr_t window, uint32_t level) {
  if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return SetDXResult(DSERR_INVALIDPARAM);
  cooperativeWindow_ = window;
  cooperativeLevel_ = level;
  return SetDXResult(DS_OK);
}

void TDirectSound::SimulateBufferLoss() {
  for (TDirectSoundBuffer* buffer : buffers_) {
    if (!buffer->Made()) continue;
    buffer->ReleaseVoice();  // a lost buffer stops sounding
    buffer->lost_ = true;
  }
}

void TDirectSound::BufferLost() {
  if (restoring_) return;
  restoring_ = true;
  try {
    DoRestore();
  } catch (...) {
    restoring_ = false;
    throw;
  }
  restoring_ = false;
}

void TDirectSound::Add(TDirectSoundBuffer* buffer) {
  buffer->registryIndex_ = buffers_.size();
  buffers_.push_back(buffer);
}

void TDirectSound::Remove(TDirectSoundBuffer* buffer) {
  const size_t i = buffer->registryIndex_;
  buffers_[i] = buffers_.back();
  buffers_[i]->registryIndex_ = i;
  buffers_.pop_back();
}

// ---- TDirectSoundBuffer ----

TDirectSoundBuffer::TDirectSoundBuffer(TDirectSound* device) : device_(device) {
  if (device_) device_->Add(this);
}

TDirectSoundBuffer::~TDirectSoundBuffer() {
  Release();
  if (device_) device_->Remove(this);
}

void TDirectSoundBuffer::RequireMade() const {
  if (!bytes_) throw EDirectSoundBufferError(FormatMessage("%s not made", "IDirectSoundBuffer"));
}

void TDirectSoundBuffer::Check() {
  if (ErrorCode() == DSERR_BUFFERLOST && device_) device_->BufferLost();
}

bool TDirectSoundBuffer::CreateBuffer(const TDSBufferDesc& desc) {
  Release();
  if (!device_) return SetDXResult(DSERR_INVALIDCALL);
  auto bytes = std::make_shared<Bytes>();
  if (desc.dwFlags & DSBCAPS_PRIMARYBUFFER) {
    if (desc.dwBufferBytes != 0 || !desc.format.empty()) return SetDXResult(DSERR_INVALIDPARAM);
    bytes->primary = true;
    bytes->layout.rate = static_cast<uint32_t>(device_->OutputRate());
  } else {
    const auto layout = ParseSampleLayout(desc.format);
    if (!layout) return SetDXResult(DSERR_BADFORMAT);
    if (desc.dwBufferBytes < std::max<uint32_t>(kMinBufferBytes, layout->blockAlign) ||
        desc.dwBufferBytes > kMaxBufferBytes)
      return SetDXResult(DSERR_INVALIDPARAM);
    bytes->data.reset(new (std::nothrow) uint8_t[desc.dwBufferBytes]());
    if (!bytes->data) return SetDXResult(DSERR_ALLOCATED);
    bytes->size = desc.dwBufferBytes;
    bytes->format = desc.format;
    bytes->layout = *layout;
  }
  bytes_ = std::move(bytes);
  flags_ = desc.dwFlags;
  frequency_ = bytes_->layout.rate;
  pan_ = volume_ = 0;
  cursor_ = 0;
  looping_ = lost_ = false;
  return SetDXResult(DS_OK);
}

bool TDirectSoundBuffer::Duplicate(const TDirectSoundBuffer& source) {
  source.RequireMade();
  if (source.bytes_->primary || !device_) return SetDXResult(DSERR_INVALIDCALL);
  Release();
  bytes_ = source.bytes_;  // shared, never copied
  flags_ = source.flags_;
  frequency_ = source.frequency_;
  pan_ = source.pan_;
  volume_ = source.volume_;
  cursor_ = 0;
  looping_ = false;
  lost_ = source.lost_;
  return SetDXResult(DS_OK);
}

void TDirectSoundBuffer::Release() {
  ReleaseVoice();
  bytes_.reset();
  flags_ = 0;
  lost_ = false;
}

void TDirectSoundBuffer::Detach() {
  Release();
  device_ = nullptr;
}

void TDirectSoundBuffer::KeepCursor() {
  VoicePool& pool = device_->voices();
  const VoiceReport report = pool.mixer().Report(slot_);
  if (report.generation == pool.Generation(slot_)) cursor_ = report.cursor;
}

void TDirectSoundBuffer::ReleaseVoice() {
  if (slot_ < 0) return;
  KeepCursor();
  device_->voices().Release(slot_);
  slot_ = -1;
}

void TDirectSoundBuffer::VoiceEnded() {
  ReleaseVoice();
}

// The pool gave the voice to a newer sound: this buffer no longer plays.
void TDirectSoundBuffer::VoiceStolen() {
  KeepCursor();
  slot_ = -1;
}

MixerCommand TDirectSoundBuffer::Command(MixerOp op) const {
  MixerCommand c;
  c.op = op;
  c.slot = static_cast<uint16_t>(slot_);
  c.generation = device_->voices().Generation(slot_);
  c.data = bytes_->data.get();
  c.frames = Frames();
  c.layout = bytes_->layout;
  c.cursor = cursor_;
  c.looping = looping_;
  c.frequency = frequency_;
  c.pan = pan_;
  c.volume = volume_;
  c.mixLevel = mixLevel_;
  c.meter = meter_;
  return c;
}

bool TDirectSoundBuffer::Play(uint32_t flags) {
  const auto stamp = playtime::Stamp();
  RequireMade();
  if (lost_) return SetDXResult(DSERR_BUFFERLOST);
  if (bytes_->primary) return SetDXResult(DS_OK);
  const bool looping = (flags & DSBPLAY_LOOPING) != 0;
  Status();  // lets go of a voice that already ended
  if (slot_ >= 0) {
    if (looping != looping_) {
      looping_ = looping;
      device_->voices().Send(Command(MixerOp::SetLooping));
    }
    return SetDXResult(DS_OK);
  }
  looping_ = looping;
  VoicePool& pool = device_->voices();
  const int slot = pool.Acquire(this, bytes_);
  if (slot < 0) {
    pool.CountDropped();
    return SetDXResult(DSERR_ALLOCATED);
  }
  slot_ = slot;
  MixerCommand start = Command(MixerOp::Start);
  if (stamp)
    start.stampNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(stamp->time_since_epoch()).count();
  start.frame = playtime::FrameOn(&device_->mixer());
  start.afterDueNs = std::llround(playtime::AfterDue() * 1e9);
  start.transportFrame = playtime::TransportFrameOn(&device_->mixer());
  if (!pool.Send(start)) {
    pool.Release(slot);
    slot_ = -1;
    pool.CountDropped();
    return SetDXResult(DSERR_ALLOCATED);
  }
  return SetDXResult(DS_OK);
}

bool TDirectSoundBuffer::Stop() {
  RequireMade();
  ReleaseVoice();
  return SetDXResult(DS_OK);
}

uint32_t TDirectSoundBuffer::Status() {
  RequireMade();
  uint32_t status = lost_ ? DSBSTATUS_BUFFERLOST : 0;
  if (slot_ >= 0) {
    VoicePool& pool = device_->voices();
    const VoiceReport report = pool.mixer().Report(slot_);
    if (report.generation == pool.Generation(slot_) && !report.playing)
      VoiceEnded();
    else
      status |= DSBSTATUS_PLAYING | (looping_ ? DSBSTATUS_LOOPING : 0);
  }
  return status;
}

uint32_t TDirectSoundBuffer::Position() {
  RequireMade();
  if (bytes_->primary) return 0;
  uint32_t frame = cursor_;
  if (slot_ >= 0) {
    VoicePool& pool = device_->voices();
    const VoiceReport report = pool.mixer().Report(slot_);
    // Until the mixer takes the latest command, the cursor is where it was sent.
    if (report.generation == pool.Generation(slot_)) frame = report.cursor;
  }
  return frame * bytes_->layout.blockAlign;
}

void TDirectSoundBuffer::SetPosition(uint32_t bytes) {
  RequireMade();
  if (bytes_->primary || bytes >= bytes_->size) {
    SetDXResult(DSERR_INVALIDPARAM);
    return;
  }
  cursor_ = bytes / bytes_->layout.blockAlign;
  if (slot_ >= 0) {
    MixerCommand c = Command(MixerOp::SetCursor);
    c.generation += 1;
    if (device_->voices().Send(c)) device_->voices().Renew(slot_);
  }
  SetDXResult(DS_OK);
}

bool TDirectSoundBuffer::Control(uint32_t flag) {
  if (flags_ & flag) return true;
  SetDXResult(DSERR_CONTROLUNAVAIL);
  return false;
}

uint32_t TDirectSoundBuffer::Frequency() {
  RequireMade();
  return Control(DSBCAPS_CTRLFREQUENCY) ? frequency_ : 0;
}

void TDirectSoundBuffer::SetFrequency(uint32_t frequency) {
  RequireMade();
  if (!Control(DSBCAPS_CTRLFREQUENCY)) return;
  if (frequency != DSBFREQUENCY_ORIGINAL &&
      (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX)) {
    SetDXResult(DSERR_INVALIDPARAM);
    return;
  }
  frequency_ = frequency ? frequency : bytes_->layout.rate;
  if (slot_ >= 0) device_->voices().Send(Command(MixerOp::SetParams));
  SetDXResult(DS_OK);
}

int32_t TDirectSoundBuffer::Pan() {
  RequireMade();
  return Control(DSBCAPS_CTRLPAN) ? pan_ : 0;
}

void TDirectSoundBuffer::SetPan(int32_t pan) {
  RequireMade();
  if (!Control(DSBCAPS_CTRLPAN)) return;
  if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) {
    SetDXResult(DSERR_INVALIDPARAM);
    return;
  }
  pan_ = pan;
  if (slot_ >= 0) device_->voices().Send(Command(MixerOp::SetParams));
  SetDXResult(DS_OK);
}

int32_t TDirectSoundBuffer::Volume() {
  RequireMade();
  return Control(DSBCAPS_CTRLVOLUME) ? volume_ : 0;
}

void TDirectSoundBuffer::SetVolume(int32_t volume) {
  RequireMade();
  if (!Control(DSBCAPS_CTRLVOLUME)) return;
  if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) {
    SetDXResult(DSERR_INVALIDPARAM);
    return;
  }
  volume_ = volume;
  if (slot_ >= 0) device_->voices().Send(Command(MixerOp::SetParams));
  SetDXResult(DS_OK);
}

void TDirectSoundBuffer::SetMix(int32_t levelCentiDb, uint16_t meter) {
  RequireMade();
  mixLevel_ = levelCentiDb;
  meter_ = meter;
  if (slot_ >= 0) device_->voices().Send(Command(MixerOp::SetParams));
}

bool TDirectSoundBuffer::SetFormat(const std::vector<uint8_t>& format) {
  RequireMade();
  if (!bytes_->primary) return SetDXResult(DSERR_INVALIDCALL);
  if (device_->CooperativeLevel() < DSSCL_PRIORITY) return SetDXResult(DSERR_PRIOLEVELNEEDED);
  if (!ParseSampleLayout(format)) return SetDXResult(DSERR_BADFORMAT);
  bytes_->format = format;
  return SetDXResult(DS_OK);
}

const std::vector<uint8_t>& TDirectSoundBuffer::Format() {
  RequireMade();
  return bytes_->format;
}

uint32_t TDirectSoundBuffer::Size() {
  RequireMade();
  return bytes_->size;
}

uint32_t TDirectSoundBuffer::Flags() {
  RequireMade();
  return flags_;
}

bool TDirectSoundBuffer::Restore() {
  RequireMade();
  lost_ = false;
  return SetDXResult(DS_OK);
}

bool TDirectSoundBuffer::Lock(uint32_t offset, uint32_t bytes, TLockRegions& regions) {
  RequireMade();
  regions = {};
  if (lost_) return SetDXResult(DSERR_BUFFERLOST);
  const uint32_t size = bytes_->size;
  if (bytes_->primary) return SetDXResult(DSERR_INVALIDCALL);
  if (offset >= size || bytes == 0 || bytes > size) return SetDXResult(DSERR_INVALIDPARAM);
  if (slot_ < 0 && device_->voices().Retiring(bytes_.get()) && !RenewBytes())
    return SetDXResult(DSERR_OUTOFMEMORY);
  const uint32_t first = std::min(bytes, size - offset);
  regions.ptr1 = bytes_->data.get() + offset;
  regions.bytes1 = first;
  if (bytes > first) {
    regions.ptr2 = bytes_->data.get();
    regions.bytes2 = bytes - first;
  }
  return SetDXResult(DS_OK);
}

// A voice just stopped may still be mixed from the old bytes on the output's
// thread: writing goes to a copy of them, and the old ones stay with the mixer
// until it lets go.
bool TDirectSoundBuffer::RenewBytes() {
  auto fresh = std::make_shared<Bytes>();
  fresh->data.reset(new (std::nothrow) uint8_t[bytes_->size]);
  if (!fresh->data) return false;
  std::memcpy(fresh->data.get(), bytes_->data.get(), bytes_->size);
  fresh->size = bytes_->size;
  fresh->format = bytes_->format;
  fresh->layout = bytes_->layout;
  bytes_ = std::move(fresh);
  return true;
}

bool TDirectSoundBuffer::Unlock(const TLockRegions&) {
  RequireMade();
  device_->mixer().PublishWrites();
  return SetDXResult(DS_OK);
}
