#include "kit/WaveStream.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <system_error>

#include "common/Exception.h"
#include "common/Files.h"

namespace Wave {

namespace {

uint32_t U32At(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

int64_t Position(std::istream& in) {
  int64_t pos = in.tellg();
  if (pos < 0) throw EReadError();
  return pos;
}

void MoveTo(std::istream& in, int64_t pos) {
  in.clear();
  in.seekg(pos);
  if (!in) throw EReadError();
}

// Reads up to n bytes; the ones missing at the end of the stream are zeros.
void ReadPadded(std::istream& in, char* dst, size_t n) {
  in.read(dst, static_cast<std::streamsize>(n));
  size_t got = static_cast<size_t>(in.gcount());
  std::fill(dst + got, dst + n, '\0');
  in.clear();
}

}  // namespace

int64_t StreamEnd(std::istream& in) {
  in.clear();
  int64_t pos = Position(in);
  in.seekg(0, std::ios::end);
  int64_t end = Position(in);
  MoveTo(in, pos);
  return end;
}

RiffLayout ReadRiffLayout(std::istream& in, int64_t end) {
  std::array<char, 12> header{};
  in.read(header.data(), header.size());
  if (in.gcount() != static_cast<std::streamsize>(header.size()) ||
      std::memcmp(header.data(), "RIFF", 4) != 0 || std::memcmp(header.data() + 8, "WAVE", 4) != 0)
    throw EWaveStreamError("Wave is invalid");
  RiffLayout layout;
  int64_t pos = Position(in);
  for (;;) {
    std::array<char, 8> chunk{};
    ReadPadded(in, chunk.data(), chunk.size());
    pos = std::min(pos + 8, end);
    if (U32At(chunk.data()) == 0) break;
    int64_t size = U32At(chunk.data() + 4);
    if (std::memcmp(chunk.data(), "fmt ", 4) == 0) {
      // Checked before allocating: the size may claim far more than is there.
      if (size > end - pos) throw EReadError();
      std::vector<uint8_t> format(static_cast<size_t>(size));
      in.read(reinterpret_cast<char*>(format.data()), size);
      if (in.gcount() != size) throw EReadError();
      layout.Format = std::move(format);
    } else if (std::memcmp(chunk.data(), "data", 4) == 0) {
      layout.DataStart = pos;
      layout.DataSize = size;
    }
    pos = std::min(pos + size, end);
    MoveTo(in, pos);
  }
  return layout;
}

void TWaveStream::Open() {
  if (opened_) throw EWaveStreamError("Stream has already been opened");
  int64_t end = StreamEnd(source_);
  RiffLayout layout = ReadRiffLayout(source_, end);
  // A recording cut short still plays what it holds.
  layout.DataSize = std::clamp<int64_t>(layout.DataSize, 0, end - layout.DataStart);
  layout_ = std::move(layout);
  opened_ = true;
}

size_t TWaveStream::ReadAt(int64_t dataPos, void* dst, size_t n) {
  if (!opened_) throw EWaveStreamError("Stream not opend");
  if (dataPos < 0 || dataPos >= layout_.DataSize) return 0;
  size_t count = static_cast<size_t>(std::min<int64_t>(n, layout_.DataSize - dataPos));
  MoveTo(source_, layout_.DataStart + dataPos);
  source_.read(static_cast<char*>(dst), static_cast<std::streamsize>(count));
  size_t got = static_cast<size_t>(source_.gcount());
  source_.clear();
  return got;
}

namespace {

const std::filesystem::path& CheckedPath(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) throw EFOpenError(DisplayPath(path));
  return path;
}

}  // namespace

TWaveFileStream::TWaveFileStream(const std::filesystem::path& path)
    : WaveFileHolder{std::ifstream(CheckedPath(path), std::ios::binary)}, TWaveStream(file) {
  if (!file) throw EFOpenError(DisplayPath(path));
  Open();
}

}  // namespace Wave
