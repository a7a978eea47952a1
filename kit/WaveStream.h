#pragma once
// Reads WAV files piece by piece, for sounds that are streamed rather than
// loaded whole. Errors are EWaveStreamError ("Wave is invalid", "Stream has
// already been opened", "Stream not opend") or EReadError.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <istream>
#include <vector>

namespace Wave {

// Where a RIFF WAVE image keeps its format block and its sample bytes.
struct RiffLayout {
  std::vector<uint8_t> Format;
  int64_t DataStart = 0;  // stream position of the first sample byte
  int64_t DataSize = 0;   // as the "data" chunk states it; 0 without one
};

// The stream position at its end, leaving the position unchanged.
int64_t StreamEnd(std::istream& in);

// Reads the 12-byte "RIFF" .. "WAVE" header at the stream's position and walks
// the chunks up to end. Chunks follow each other without pad bytes; a later
// "fmt " or "data" chunk replaces an earlier one; the walk stops at an
// identifier of 0, and bytes missing at the end count as zeros.
RiffLayout ReadRiffLayout(std::istream& in, int64_t end);

// A RIFF reader over a seekable stream that outlives it.
class TWaveStream {
 public:
  explicit TWaveStream(std::istream& source) : source_(source) {}
  virtual ~TWaveStream() = default;
  TWaveStream(const TWaveStream&) = delete;
  TWaveStream& operator=(const TWaveStream&) = delete;

  // Reads the header. A data chunk that claims more bytes than the stream
  // holds is cut to what is there.
  void Open();
  bool Opened() const { return opened_; }

  const std::vector<uint8_t>& Format() const { return layout_.Format; }
  // Bytes of sample data.
  int64_t Size() const { return layout_.DataSize; }
  // Copies up to n sample bytes from data position dataPos; returns how many
  // were copied (fewer at the end of the data).
  size_t ReadAt(int64_t dataPos, void* dst, size_t n);

 private:
  std::istream& source_;
  RiffLayout layout_;
  bool opened_ = false;
};

// Owns the file before the reader is made on it.
struct WaveFileHolder {
  std::ifstream file;
};

// The same over a WAV file, opened (and its header read) on construction.
// EFOpenError when the file can't be opened.
class TWaveFileStream : private WaveFileHolder, public TWaveStream {
 public:
  explicit TWaveFileStream(const std::filesystem::path& path);
};

}  // namespace Wave
