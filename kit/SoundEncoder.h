#pragma once
// The port through which finished songs are written in formats other than
// the program's own WAV: FLAC, losslessly from 16-bit samples. Core calls
// it; the program installs the libsndfile implementation at start-up.
#include <cstdint>
#include <filesystem>
#include <memory>

class SoundWriter {
 public:
  virtual ~SoundWriter() = default;
  // Interleaved 16-bit frames. Raises EWriteError-like errors (an Exception
  // naming the file) when they can't be written.
  virtual void Write(const std::int16_t* frames, std::int64_t count) = 0;
  // Completes the file; raises when it can't be completed.
  virtual void Close() = 0;
};

class SoundEncoder {
 public:
  virtual ~SoundEncoder() = default;
  // A new FLAC file of 16-bit samples; EFCreateError when it can't be made.
  virtual std::unique_ptr<SoundWriter> CreateFlac(const std::filesystem::path& path,
                                                  std::int64_t rate, int channels) = 0;
};

// Set once at start-up (tests set their own).
void SetSoundEncoder(std::shared_ptr<SoundEncoder> encoder);
// The installed encoder; an Exception saying FLAC can't be written when none is.
SoundEncoder& InstalledSoundEncoder();
