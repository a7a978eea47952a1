#pragma once
// The port through which sound files the RIFF reader doesn't take are read:
// WAV of other widths and float, AIFF, FLAC, Ogg Vorbis, Opus, MP3. Core
// calls it; the program installs the libsndfile implementation at start-up.
#include <cstdint>
#include <filesystem>
#include <memory>

struct SoundInfo {
  std::int64_t frames = 0;  // as the file declares them
  std::int64_t rate = 0;    // frames per second
  int channels = 0;
  // Bits per sample of an integer encoding; 0 for float and lossy ones,
  // whose samples may lie beyond full scale.
  int bits = 0;
  // The frames are the decoder's guess (an MP3 without a length header):
  // the file may hold more or fewer.
  bool framesEstimated = false;
  // The file ends before the sound its header declares: what is there is
  // read.
  bool shorterThanHeader = false;
};

class SoundReader {
 public:
  virtual ~SoundReader() = default;
  virtual const SoundInfo& Info() const = 0;
  // Reads up to frames interleaved frames (Info().channels samples each),
  // full scale at +-1. Returns how many it read: 0 at the end, -1 when the
  // file is damaged.
  virtual std::int64_t Read(float* out, std::int64_t frames) = 0;
};

class SoundDecoder {
 public:
  virtual ~SoundDecoder() = default;
  // Null when the file is no sound file this decoder reads.
  virtual std::unique_ptr<SoundReader> Open(const std::filesystem::path& path) = 0;
};

// Set once at start-up (tests set their own). Without one, every file goes
// to the RIFF reader as it stands.
void SetSoundDecoder(std::shared_ptr<SoundDecoder> decoder);
std::shared_ptr<SoundDecoder> InstalledSoundDecoder();
