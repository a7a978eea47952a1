#pragma once
// Streamed playback of a WAV stream through a one-second ring buffer on the
// device. A refill thread hands each refill to the UI thread, where all
// buffer and file access happens.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/UiThread.h"
#include "kit/AudioStreamNotify.h"
#include "kit/DXClass.h"
#include "kit/WaveStream.h"

class TAudioStream {
 public:
  // Without a device (none could be opened) the stream reads its file but
  // has no ring buffer: playing raises "IDirectSoundBuffer not made".
  TAudioStream(TDirectSound* device, UiThread& ui);
  TAudioStream(TDirectSound& device, UiThread& ui) : TAudioStream(&device, ui) {}
  virtual ~TAudioStream();
  TAudioStream(const TAudioStream&) = delete;
  TAudioStream& operator=(const TAudioStream&) = delete;

  // Milliseconds of sound the ring holds.
  int BufferLength = 1000;
  // Restart at 0 at the end; this program never sets it.
  bool Looped = false;
  // Told of an error that escaped a refill (playback then stops).
  std::function<void(const std::string& message)> OnError;

  Wave::TWaveStream* WaveStream() const { return waveStream_; }
  // Stops and makes the ring buffer for the stream (not owned); null leaves
  // the stream without a wave.
  void SetWaveStream(Wave::TWaveStream* stream);

  // The wave's format block; "WaveStream not set" without a wave.
  const std::vector<uint8_t>& Format() const;
  void Play();
  void Stop();
  bool Playing() const { return playing_; }
  // Bytes of wave data played so far.
  int64_t Position() const { return position_; }
  void SetPosition(int64_t position);
  // Bytes of wave data before the one the device plays now: the position
  // of the last refill moved on by the ring cursor the mixer reports.
  int64_t PlayingPosition();
  uint32_t Frequency() { return buffer_.Frequency(); }
  void SetFrequency(uint32_t value) { buffer_.SetFrequency(value); }
  int32_t Pan() { return buffer_.Pan(); }
  void SetPan(int32_t value) { buffer_.SetPan(value); }
  int32_t Volume() { return buffer_.Volume(); }
  void SetVolume(int32_t value) { buffer_.SetVolume(value); }
  // Makes the ring buffer again (new focus options apply), keeping playing
  // state, position, frequency, pan and volume.
  void RecreateBuffer();

  TDirectSoundBuffer& Buffer() { return buffer_; }
  int64_t RingSize() const { return ringSize_; }

  // One refill: what the play cursor consumed is counted as played and
  // written again from the wave (or silence past its end).
  void Update();

 private:
  void RequireWave() const;
  void StartNotify();
  void StopNow();
  void FinishStopInRefill();
  void RefillOnUiThread(uint64_t token);
  void WriteData(int64_t bytes);
  void WriteWave(int64_t bytes);
  void WriteSilence(int64_t bytes);
  void WriteRing(int64_t bytes, const std::function<void(uint8_t*, uint32_t)>& fill);

  UiThread& ui_;
  TDirectSoundBuffer buffer_;
  Wave::TWaveStream* waveStream_ = nullptr;
  uint16_t blockAlign_ = 1;
  uint8_t silence_ = 0;
  int64_t ringSize_ = 0;
  int64_t writePosition_ = 0;
  int64_t position_ = 0;
  int64_t dataPosition_ = 0;
  bool playing_ = false;
  bool inUpdate_ = false;
  bool stopInRefill_ = false;
  uint64_t notifyToken_ = 0;
  std::unique_ptr<TAudioStreamNotify> notify_;
  std::unique_ptr<TAudioStreamNotify> ended_;  // signalled from a refill, joined later
};

class TAudioFileStream : public TAudioStream {
 public:
  using TAudioStream::TAudioStream;
  ~TAudioFileStream() override;

  const std::string& FileName() const { return fileName_; }
  // Stops and opens the WAV file (empty: no wave). On failure the stream is
  // left without a wave, FileName is empty and the error is raised.
  void SetFileName(const std::string& fileName);

 private:
  std::unique_ptr<Wave::TWaveFileStream> file_;
  std::string fileName_;
};
