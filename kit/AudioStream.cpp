#include "kit/AudioStream.h"

#include <algorithm>
#include <cstring>

#include "common/Exception.h"
#include "kit/SoundFormat.h"

TAudioStream::TAudioStream(TDirectSound* device, UiThread& ui) : ui_(ui), buffer_(device) {}

TAudioStream::~TAudioStream() {
  StopNow();
  ended_.reset();
}

void TAudioStream::RequireWave() const {
  if (!waveStream_) throw EAudioStreamError("WaveStream not set");
}

void TAudioStream::SetWaveStream(Wave::TWaveStream* stream) {
  Stop();
  waveStream_ = nullptr;
  writePosition_ = position_ = dataPosition_ = 0;
  if (!stream || BufferLength <= 0) {
    buffer_.Release();
    ringSize_ = 0;
    return;
  }
  const auto layout = ParseSampleLayout(stream->Format());
  blockAlign_ = layout ? layout->blockAlign : 1;
  silence_ = layout && layout->kind == SampleKind::U8 ? 128 : 0;
  const int64_t perSecond = layout ? layout->avgBytesPerSec : 0;
  ringSize_ = perSecond * BufferLength / 1000;
  ringSize_ -= ringSize_ % blockAlign_;
  TDirectSound* device = buffer_.DSound();
  TDSBufferDesc desc;
  desc.dwFlags = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME |
                 DSBCAPS_GETCURRENTPOSITION2 | (device ? device->FocusFlags() : 0);
  desc.dwBufferBytes = static_cast<uint32_t>(std::min<int64_t>(ringSize_, 0xFFFFFFFF));
  desc.format = stream->Format();
  if (!device) {
    buffer_.Release();
    waveStream_ = stream;
    return;
  }
  if (!buffer_.CreateBuffer(desc)) {
    ringSize_ = 0;
    throw EDirectSoundBufferError(FormatMessage("%s cannot be made", "Sound Buffer"));
  }
  waveStream_ = stream;
}

const std::vector<uint8_t>& TAudioStream::Format() const {
  RequireWave();
  return waveStream_->Format();
}

void TAudioStream::Play() {
  if (playing_) return;
  RequireWave();
  playing_ = true;
  try {
    SetPosition(position_);
  } catch (...) {
    playing_ = false;
    throw;
  }
  StartNotify();
}

void TAudioStream::Stop() {
  if (!playing_) return;
  if (inUpdate_) {
    // The refill thread waits for this refill: it cannot be joined now.
    stopInRefill_ = true;
    if (notify_) notify_->Signal();
    return;
  }
  StopNow();
}

void TAudioStream::StopNow() {
  notify_.reset();  // voids a pending refill, then joins
  ended_.reset();
  if (buffer_.Made()) buffer_.Stop();
  playing_ = false;
}

void TAudioStream::StartNotify() {
  ended_.reset();
  const uint64_t token = ++notifyToken_;
  const auto period = std::chrono::milliseconds(std::clamp(BufferLength / 4, 1, 50));
  notify_ =
      std::make_unique<TAudioStreamNotify>(ui_, period, [this, token] { RefillOnUiThread(token); });
}

void TAudioStream::RefillOnUiThread(uint64_t token) {
  // A refill never runs for a stream that stopped since it was asked for.
  if (!playing_ || token != notifyToken_) return;
  inUpdate_ = true;
  try {
    Update();
  } catch (const std::exception& e) {
    stopInRefill_ = true;
    if (OnError) OnError(e.what());
  }
  inUpdate_ = false;
  if (stopInRefill_) FinishStopInRefill();
}

void TAudioStream::FinishStopInRefill() {
  stopInRefill_ = false;
  ended_ = std::move(notify_);
  if (ended_) ended_->Signal();
  ++notifyToken_;
  if (buffer_.Made()) buffer_.Stop();
  playing_ = false;
}

void TAudioStream::SetPosition(int64_t position) {
  RequireWave();
  const int64_t size = waveStream_->Size();
  position = std::clamp<int64_t>(position, 0, std::max<int64_t>(size - 1, 0));
  position -= position % blockAlign_;
  position_ = position;
  if (!playing_) return;
  buffer_.Stop();
  writePosition_ = 0;
  dataPosition_ = position;
  WriteData(ringSize_);
  buffer_.SetPosition(0);
  buffer_.Play(DSBPLAY_LOOPING);
}

int64_t TAudioStream::PlayingPosition() {
  if (!playing_ || !waveStream_ || !buffer_.Made() || ringSize_ <= 0) return position_;
  const int64_t cursor = buffer_.Position();
  const int64_t sinceRefill = (cursor - writePosition_ + ringSize_) % ringSize_;
  int64_t position = position_ + sinceRefill;
  if (waveStream_->Size() >= 0) position = std::min(position, waveStream_->Size());
  return position - position % blockAlign_;
}

void TAudioStream::Update() {
  if (!playing_ || !waveStream_) return;
  // A cursor that just reached the ring's end stands at its start: read as
  // the end, a refill before the mixer moves on would count a whole ring.
  const int64_t cursor = ringSize_ > 0 ? buffer_.Position() % ringSize_ : 0;
  const int64_t amount =
      cursor >= writePosition_ ? cursor - writePosition_ : ringSize_ - writePosition_ + cursor;
  const int64_t size = waveStream_->Size();
  if (size < 0) {
    WriteData(amount);
  } else if (position_ < size) {
    if (amount < 1) return;
    position_ = std::min(position_ + amount, size);
    WriteData(amount);
  } else if (Looped) {
    SetPosition(0);
  } else {
    Stop();
  }
}

void TAudioStream::WriteData(int64_t bytes) {
  const int64_t remaining = waveStream_->Size() - dataPosition_;
  if (remaining < 1) {
    WriteSilence(bytes);
  } else if (remaining < bytes) {
    WriteWave(remaining);
    WriteSilence(bytes - remaining);
  } else {
    WriteWave(bytes);
  }
}

void TAudioStream::WriteWave(int64_t bytes) {
  WriteRing(bytes, [this](uint8_t* to, uint32_t n) {
    const size_t got = waveStream_->ReadAt(dataPosition_, to, n);
    std::memset(to + got, silence_, n - got);  // a file cut short reads as silence
    dataPosition_ += n;
  });
}

void TAudioStream::WriteSilence(int64_t bytes) {
  WriteRing(bytes, [this](uint8_t* to, uint32_t n) { std::memset(to, silence_, n); });
}

void TAudioStream::WriteRing(int64_t bytes, const std::function<void(uint8_t*, uint32_t)>& fill) {
  if (bytes <= 0 || ringSize_ <= 0) return;
  TLockRegions regions;
  if (!buffer_.Lock(static_cast<uint32_t>(writePosition_), static_cast<uint32_t>(bytes), regions))
    return;
  fill(regions.ptr1, regions.bytes1);
  if (regions.ptr2) fill(regions.ptr2, regions.bytes2);
  buffer_.Unlock(regions);
  writePosition_ = (writePosition_ + bytes) % ringSize_;
}

void TAudioStream::RecreateBuffer() {
  const bool wasPlaying = playing_;
  const int64_t position = position_;
  // Without a ring buffer (no wave or no device) there are no settings to keep.
  const bool made = buffer_.Made();
  const uint32_t frequency = made ? Frequency() : 0;
  const int32_t pan = made ? Pan() : 0, volume = made ? Volume() : 0;
  SetWaveStream(waveStream_);
  if (waveStream_) position_ = position;
  if (made && buffer_.Made()) {
    SetFrequency(frequency);
    SetPan(pan);
    SetVolume(volume);
  }
  if (wasPlaying) Play();
}

TAudioFileStream::~TAudioFileStream() {
  // Stop before the file goes: a refill reads it.
  try {
    SetWaveStream(nullptr);
  } catch (...) {
  }
}

void TAudioFileStream::SetFileName(const std::string& fileName) {
  SetWaveStream(nullptr);
  file_.reset();
  fileName_.clear();
  if (fileName.empty()) return;
  try {
    file_ = std::make_unique<Wave::TWaveFileStream>(fileName);
    SetWaveStream(file_.get());
    fileName_ = fileName;
  } catch (...) {
    SetWaveStream(nullptr);
    file_.reset();
    throw;
  }
}
