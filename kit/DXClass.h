#pragma once
// The software sound device: TDirectSound opens an output and mixes the
// TDirectSoundBuffer objects made on it. All calls come from the UI thread;
// only the mixer runs on the output's thread.
#include <cstdint>
#include <memory>
#include <vector>

#include "kit/AudioOutput.h"
#include "kit/DirectX.h"
#include "kit/Mixer.h"
#include "kit/SoundFormat.h"
#include "kit/VoicePool.h"

class TDirectSoundBuffer;

// What a new buffer is: flags, byte size and format block.
struct TDSBufferDesc {
  uint32_t dwFlags = 0;
  uint32_t dwBufferBytes = 0;
  std::vector<uint8_t> format;
};

// The up to two pieces of a locked range (the second when it wraps).
struct TLockRegions {
  uint8_t* ptr1 = nullptr;
  uint32_t bytes1 = 0;
  uint8_t* ptr2 = nullptr;
  uint32_t bytes2 = 0;
};

class TDirectSound : public TDirectX {
 public:
  // Opens and starts the output; EDirectSoundError "DirectSound cannot be
  // initialized" when there is none or it doesn't open.
  explicit TDirectSound(std::unique_ptr<AudioOutput> output);
  ~TDirectSound() override;
  TDirectSound(const TDirectSound&) = delete;
  TDirectSound& operator=(const TDirectSound&) = delete;

  // Focus flags given to buffers made from now on.
  bool GlobalFocus = false;
  bool StickyFocus = false;
  // The focus flag a new buffer gets: sticky wins over global.
  uint32_t FocusFlags() const;

  bool SetCooperativeLevel(uintptr_t window, uint32_t level);
  uint32_t CooperativeLevel() const { return cooperativeLevel_; }
  uintptr_t CooperativeWindow() const { return cooperativeWindow_; }

  Mixer& mixer() { return *mixer_; }
  AudioOutput* Output() const { return output_.get(); }
  VoicePool& voices() { return *voices_; }
  int OutputRate() const { return mixer_->Rate(); }
  const std::vector<TDirectSoundBuffer*>& Buffers() const { return buffers_; }

  // Marks every made buffer lost, as a device does when another program takes it.
  void SimulateBufferLoss();
  // Called by a buffer that found itself lost; restores once, not reentrantly.
  void BufferLost();

 protected:
  // What restoring means; the sound component reloads its kits here.
  virtual void DoRestore() {}

 private:
  friend class TDirectSoundBuffer;
  void Add(TDirectSoundBuffer* buffer);
  void Remove(TDirectSoundBuffer* buffer);

  std::unique_ptr<AudioOutput> output_;
  std::unique_ptr<Mixer> mixer_;
  std::unique_ptr<VoicePool> voices_;
  std::vector<TDirectSoundBuffer*> buffers_;
  uint32_t cooperativeLevel_ = 0;
  uintptr_t cooperativeWindow_ = 0;
  bool restoring_ = false;
};

class TDirectSoundBuffer : public TDirectX {
 public:
  explicit TDirectSoundBuffer(TDirectSound& device) : TDirectSoundBuffer(&device) {}
  // Without a device the object exists but can never be made.
  explicit TDirectSoundBuffer(TDirectSound* device);
  ~TDirectSoundBuffer() override;
  TDirectSoundBuffer(const TDirectSoundBuffer&) = delete;
  TDirectSoundBuffer& operator=(const TDirectSoundBuffer&) = delete;

  TDirectSound* DSound() const { return device_; }
  // Makes the buffer; false (code kept) when the device refuses it.
  bool CreateBuffer(const TDSBufferDesc& desc);
  // Makes this buffer share source's bytes, format and settings.
  bool Duplicate(const TDirectSoundBuffer& source);
  // Drops the platform buffer; this object stays.
  void Release();
  // Whether there is a platform buffer behind this object.
  bool Made() const { return bytes_ != nullptr; }

  // Every call below raises "IDirectSoundBuffer not made" without one.
  bool Lock(uint32_t offset, uint32_t bytes, TLockRegions& regions);
  bool Unlock(const TLockRegions& regions);
  bool Play(uint32_t flags = 0);
  bool Stop();
  uint32_t Status();
  bool Playing() { return (Status() & DSBSTATUS_PLAYING) != 0; }
  uint32_t Position();  // play cursor, bytes
  void SetPosition(uint32_t bytes);
  uint32_t Frequency();
  void SetFrequency(uint32_t frequency);
  int32_t Pan();
  void SetPan(int32_t pan);
  int32_t Volume();
  void SetVolume(int32_t volume);
  // The song's mix on top of Volume, in hundredths of a decibel (up to
  // +600), and the level meter the buffer's sound counts towards (0: none).
  void SetMix(int32_t levelCentiDb, uint16_t meter);
  bool SetFormat(const std::vector<uint8_t>& format);
  const std::vector<uint8_t>& Format();
  uint32_t Size();
  uint32_t Flags();
  bool Restore();

  // Test hook of the device: the next calls report the buffer lost.
  void MarkLost() { lost_ = true; }

 protected:
  // A lost buffer makes the device restore.
  void Check() override;

 private:
  friend class TDirectSound;
  friend class VoicePool;

  struct Bytes {
    std::unique_ptr<uint8_t[]> data;
    uint32_t size = 0;
    std::vector<uint8_t> format;
    SampleLayout layout;
    bool primary = false;
  };

  void RequireMade() const;
  bool RenewBytes();
  void Detach();
  void VoiceEnded();
  void VoiceStolen();
  void ReleaseVoice();
  void KeepCursor();
  bool Control(uint32_t flag);
  MixerCommand Command(MixerOp op) const;
  uint32_t Frames() const { return bytes_->size / bytes_->layout.blockAlign; }

  TDirectSound* device_;
  size_t registryIndex_ = 0;
  std::shared_ptr<Bytes> bytes_;
  uint32_t flags_ = 0;
  uint32_t frequency_ = 0;
  int32_t pan_ = 0;
  int32_t volume_ = 0;
  int32_t mixLevel_ = 0;
  uint16_t meter_ = 0;
  uint32_t cursor_ = 0;  // frames, while no voice plays
  bool looping_ = false;
  bool lost_ = false;
  int slot_ = -1;  // the mixer voice while playing
};
