#pragma once
// The render's own PCM wave buffer: a format record, sample bytes held in
// memory or in a backing file seen through a 500000-frame window, single
// sample access and a mixer that adds one wave into another.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <vector>

#include "render/wavaudioFile.h"
#include "render/wavaudioFormat.h"

namespace wavaudio {

constexpr std::int32_t kWindowFrames = 500000;
constexpr std::int32_t kNoWindow = -1000000;

class MixVoice;

class TWave {
 public:
  TWave() = default;
  // Writes back a window still loaded, then closes the backing file, which
  // stays on disk.
  ~TWave();
  TWave(const TWave&) = delete;
  TWave& operator=(const TWave&) = delete;

  // Read and written byte for byte; the owner may change any field.
  TWaveFormat Format;
  // Backing file, set before switching to file storage.
  std::filesystem::path FileName;

  std::int32_t FrameCount() const { return frameCount_; }
  bool UseFile() const { return useFile_; }
  std::int32_t WindowStart() const { return windowStart_; }
  // Memory storage: the sample bytes. File storage: the part of the window
  // read or written so far; the rest of it is still only in the file.
  const std::vector<std::uint8_t>& Data() const { return data_; }
  // Bytes of sample data: in file storage the backing file with the window
  // laid over it.
  std::int64_t DataSize() const;

  // Replaces format and samples from a RIFF/WAVE file. A file that is not one
  // is ignored silently. EFOpenError, EReadError for a cut-off or oversized
  // data chunk, EMathError for a block align of 0; the wave is unchanged then.
  void LoadFromFile(const std::filesystem::path& fileName);
  // Writes the 44-byte header and the samples; replaces the file only when
  // complete. EFCreateError or EWriteError.
  void SaveToFile(const std::filesystem::path& fileName);

  double Duration() const;  // seconds; EMathError for a rate of 0
  std::int16_t GetSample(std::int32_t channel, std::int32_t frame) const;
  void SetSample(std::int32_t channel, std::int32_t frame, std::int32_t value);

  // Adds source, played at rate frames per second, time seconds into this
  // wave, scaled by volume and panned. Raises the arithmetic errors before
  // writing anything. In file storage it ends with the window written back.
  void MixWave(const TWave* source, std::int32_t rate, double volume, double pan, double time);

  void SetUseFile(bool on);
  void LoadWindow();
  void FlushWindow();

  // Building blocks for many hits into one long wave. MixWave is MixOffset,
  // a MixVoice, AddVoice and FlushWindow. A voice serves every hit of the
  // same sound, rate, volume and pan. Each sample's result depends only on
  // the order of the additions it receives, so a wave built block by block
  // (PlaceWindow, then AddVoice of every hit touching the block, in the
  // order MixWave would have added them) is byte for byte the same. End with
  // FlushWindow, which also recounts FrameCount.
  //
  // The destination frame at which a mix at this time starts.
  std::int32_t MixOffset(double time) const;
  // Adds the part of a prepared voice starting at offset that lands on frames
  // [fromFrame, toFrame), exactly as MixWave would add those frames, but
  // keeps the window loaded afterwards.
  void AddVoice(const MixVoice& voice, std::int32_t offset, std::int32_t fromFrame = 0,
                std::int32_t toFrame = std::numeric_limits<std::int32_t>::max());
  // Moves the window of file storage to start at frame (writing the old one
  // back), e.g. to build a long wave block by block.
  void PlaceWindow(std::int32_t frame);

 private:
  std::int64_t WindowBytes() const { return std::int64_t(kWindowFrames) * Format.nBlockAlign; }
  std::int64_t WindowByteStart() const { return std::int64_t(windowStart_) * Format.nBlockAlign; }
  bool WindowLoaded() const { return windowStart_ != kNoWindow; }
  // Bytes the window holds, read from the file or not.
  std::int64_t HeldBytes() const {
    return std::max(static_cast<std::int64_t>(data_.size()), windowLength_);
  }
  // Reads the window from the file up to at least `bytes` of it.
  void EnsureRead(std::int64_t bytes);
  bool WindowHolds(std::int64_t pos, int bytes) const;
  bool WindowCovers(std::int64_t frame) const;
  void GrowTo(std::int64_t bytes);  // appends silence to data_
  void FillFileTo(std::int64_t bytes);
  void MoveWindowTo(std::int32_t frame);
  void MarkDirty(std::int64_t from, std::int64_t to);
  void DropWindow();
  // FlushWindow without recounting the frames.
  void WriteBackWindow();
  bool Packed() const;
  void AddPackedSpan(const MixVoice& voice, std::int32_t offset, std::int32_t from,
                     std::int32_t to);
  void AddSampleBySample(const MixVoice& voice, std::int32_t offset, std::int32_t from,
                         std::int32_t to);
  void AddToBytes(const MixVoice& voice, std::int32_t first, std::int32_t count, std::uint8_t* at);

  std::int32_t frameCount_ = 0;
  std::vector<std::uint8_t> data_;
  bool useFile_ = false;
  mutable WaveFile file_;
  std::int32_t windowStart_ = kNoWindow;
  // Bytes of the file the window covered when it was loaded. They are read
  // into data_ only when touched, so a window costs what is used of it.
  std::int64_t windowLength_ = 0;
  // Bytes of the window changed since it was loaded; only these go back.
  std::int64_t dirtyFrom_ = 0;
  std::int64_t dirtyTo_ = 0;
  // Scratch for the mixer's additions.
  std::vector<std::int32_t> scratch_;
};

}  // namespace wavaudio
