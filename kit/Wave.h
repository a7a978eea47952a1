#pragma once
// One sound of the kit side: a WAV format block and its sample bytes, read and
// written as a RIFF WAVE image.
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace Wave {

using Bytes = std::vector<uint8_t>;

class TWave {
 public:
  // Sample storage grows in blocks of this many bytes.
  static constexpr int32_t BlockBytes = 8096;

  TWave() = default;

  // The format block exactly as it stood in the "fmt " chunk.
  const uint8_t* Format() const { return format_.data(); }
  uint8_t* Format() { return format_.data(); }
  int32_t FormatSize() const { return static_cast<int32_t>(format_.size()); }
  const Bytes& FormatBytes() const { return format_; }

  // The sample bytes of the "data" chunk.
  const uint8_t* Data() const { return data_.data(); }
  uint8_t* Data() { return data_.data(); }
  int32_t Size() const { return size_; }

  // Negative sizes count as 0. SetSize keeps the bytes it already holds and
  // reallocates only when the number of blocks changes.
  void SetSize(int32_t n);
  void SetFormatSize(int32_t n);
  void SetFormat(const Bytes& format);

  // Copies source; a null source clears, the wave itself changes nothing.
  void Assign(const TWave* source);
  void Clear();

  // Reads a RIFF WAVE image. On failure the wave keeps what it held before.
  // A stream with no bytes left makes the wave empty.
  void LoadFromFile(const std::filesystem::path& path);
  void LoadFromStream(std::istream& stream);

  // The RIFF WAVE image: empty when either block is empty, else the header,
  // "fmt ", "data" and one trailing 0 byte that the RIFF size leaves out.
  std::string Image() const;
  // Writes the image; the file is replaced only once complete.
  void SaveToFile(const std::filesystem::path& path) const;
  void SaveToStream(std::ostream& stream) const;

  // Fields of the standard format record; 0 when the block is too short.
  uint16_t FormatTag() const;
  uint16_t Channels() const;
  uint32_t SamplesPerSec() const;
  uint32_t AvgBytesPerSec() const;
  uint16_t BlockAlign() const;
  uint16_t BitsPerSample() const;

 private:
  Bytes format_;
  Bytes data_;  // a whole number of blocks
  int32_t size_ = 0;
};

// An 18-byte PCM format record (extra size 0).
Bytes MakePcmFormat(uint32_t rate, uint16_t bits, uint16_t channels);

}  // namespace Wave
