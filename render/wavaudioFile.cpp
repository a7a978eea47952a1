#include "render/wavaudioFile.h"

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>
#include <vector>

#include "common/Exception.h"
#include "common/Files.h"
#include "render/wavaudioErrors.h"

namespace wavaudio {
namespace {

constexpr std::size_t kCopyBlock = 1 << 20;

const char* ModeText(WaveFile::Mode mode) {
  switch (mode) {
    case WaveFile::Mode::Read:
      return "rb";
    case WaveFile::Mode::ReadWrite:
      return "r+b";
    case WaveFile::Mode::CreateEmpty:
      return "w+b";
  }
  return "rb";
}

}  // namespace

WaveFile::WaveFile(const std::filesystem::path& path, Mode mode) {
  std::error_code ec;
  if (!std::filesystem::is_directory(path, ec)) file_ = std::fopen(path.c_str(), ModeText(mode));
  if (!file_) {
    if (mode == Mode::CreateEmpty) throw EFCreateError(DisplayPath(path));
    throw EFOpenError(DisplayPath(path));
  }
  if (std::fseek(file_, 0, SEEK_END) == 0) size_ = std::ftell(file_);
  if (size_ < 0) size_ = 0;
}

WaveFile::WaveFile(WaveFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)), size_(std::exchange(other.size_, 0)) {}

WaveFile& WaveFile::operator=(WaveFile&& other) noexcept {
  if (this != &other) {
    if (file_) std::fclose(file_);
    file_ = std::exchange(other.file_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

WaveFile::~WaveFile() {
  if (file_) std::fclose(file_);
}

void WaveFile::Seek(std::int64_t pos) {
  if (std::fseek(file_, static_cast<long>(pos), SEEK_SET) != 0) throw EReadError();
}

std::size_t WaveFile::ReadAt(std::int64_t pos, void* into, std::size_t count) {
  if (!file_ || pos < 0 || pos >= size_ || count == 0) return 0;
  count = static_cast<std::size_t>(std::min<std::int64_t>(count, size_ - pos));
  Seek(pos);
  return std::fread(into, 1, count, file_);
}

void WaveFile::ReadExactly(std::int64_t pos, void* into, std::size_t count) {
  if (count == 0) return;
  if (ReadAt(pos, into, count) != count) throw EReadError();
}

void WaveFile::WriteAt(std::int64_t pos, const void* from, std::size_t count) {
  if (count == 0) return;
  if (!file_ || pos < 0) throw EWriteError();
  // Moving flushes what is buffered: a failure here is a failed write.
  if (std::fseek(file_, static_cast<long>(pos), SEEK_SET) != 0) throw EWriteError(errno);
  if (std::fwrite(from, 1, count, file_) != count) throw EWriteError(errno);
  size_ = std::max<std::int64_t>(size_, pos + static_cast<std::int64_t>(count));
}

void WaveFile::AppendFill(std::uint8_t byte, std::int64_t count) {
  if (count <= 0) return;
  const std::vector<std::uint8_t> block(
      static_cast<std::size_t>(std::min<std::int64_t>(count, kCopyBlock)), byte);
  while (count > 0) {
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(count, block.size()));
    WriteAt(size_, block.data(), n);
    count -= static_cast<std::int64_t>(n);
  }
}

void WaveFile::AppendFrom(WaveFile& source, std::int64_t pos, std::int64_t count) {
  if (count <= 0) return;
  std::vector<std::uint8_t> block(
      static_cast<std::size_t>(std::min<std::int64_t>(count, kCopyBlock)));
  while (count > 0) {
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(count, block.size()));
    source.ReadExactly(pos, block.data(), n);
    WriteAt(size_, block.data(), n);
    pos += static_cast<std::int64_t>(n);
    count -= static_cast<std::int64_t>(n);
  }
}

void WaveFile::Flush() {
  if (file_ && std::fflush(file_) != 0) throw EWriteError(errno);
}

void WaveFile::Close() {
  if (!file_) return;
  const bool ok = std::fclose(std::exchange(file_, nullptr)) == 0;
  const int error = errno;
  size_ = 0;
  if (!ok) throw EWriteError(error);
}

}  // namespace wavaudio
