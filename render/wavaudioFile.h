#pragma once
// An open file addressed by byte position, as the wave buffer's backing file
// and for reading WAV files. It remembers its size, so growing writes and
// reads past the end need no extra seeks.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>

namespace wavaudio {

class WaveFile {
 public:
  enum class Mode { Read, ReadWrite, CreateEmpty };

  WaveFile() = default;
  // EFOpenError (Read, ReadWrite) or EFCreateError (CreateEmpty) on failure.
  WaveFile(const std::filesystem::path& path, Mode mode);
  WaveFile(WaveFile&& other) noexcept;
  WaveFile& operator=(WaveFile&& other) noexcept;
  WaveFile(const WaveFile&) = delete;
  WaveFile& operator=(const WaveFile&) = delete;
  ~WaveFile();

  bool IsOpen() const { return file_ != nullptr; }
  std::int64_t Size() const { return size_; }

  // Reads up to count bytes at pos; returns how many were there.
  std::size_t ReadAt(std::int64_t pos, void* into, std::size_t count);
  // Reads exactly count bytes or raises EReadError.
  void ReadExactly(std::int64_t pos, void* into, std::size_t count);
  // EWriteError when the bytes can't all be written.
  void WriteAt(std::int64_t pos, const void* from, std::size_t count);
  // Appends count copies of a byte at the end.
  void AppendFill(std::uint8_t byte, std::int64_t count);
  // Copies count bytes from another file's position pos to the end of this one.
  void AppendFrom(WaveFile& source, std::int64_t pos, std::int64_t count);

  // Hands buffered bytes to the system, so other readers see them.
  void Flush();
  // Closes; EWriteError when buffered bytes could not be written.
  void Close();

 private:
  void Seek(std::int64_t pos);

  std::FILE* file_ = nullptr;
  std::int64_t size_ = 0;
};

}  // namespace wavaudio
