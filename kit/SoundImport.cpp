#include "kit/SoundImport.h"

#include <fstream>
#include <system_error>

#include "common/Exception.h"
#include "kit/DecodeToWav.h"
#include "kit/DecodeWatch.h"
#include "kit/SoundDecoder.h"
#include "kit/WaveStream.h"

namespace fs = std::filesystem;

namespace {

std::uint16_t U16At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

bool Openable(const fs::path& path) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) return false;
  return static_cast<bool>(std::ifstream(path, std::ios::binary));
}

}  // namespace

std::optional<FileStamp> StampOf(const fs::path& path) {
  std::error_code ec;
  FileStamp stamp;
  stamp.time = fs::last_write_time(path, ec);
  if (ec) return std::nullopt;
  stamp.size = fs::file_size(path, ec);
  if (ec) return std::nullopt;
  return stamp;
}

bool RiffReaderTakes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  try {
    const Wave::RiffLayout layout = Wave::ReadRiffLayout(in, Wave::StreamEnd(in));
    if (layout.Format.size() < 16) return false;
    const std::uint16_t tag = U16At(layout.Format, 0);
    const std::uint16_t bits = U16At(layout.Format, 14);
    return tag == 1 && (bits == 8 || bits == 16);
  } catch (const Exception&) {
    return false;
  }
}

fs::path DecodedWorkFile(const fs::path& tempDir, const std::string& owner, int n) {
  return tempDir / ("decoded-" + owner + std::to_string(n) + ".wav");
}

SoundFile ImportSoundFile(const std::string& chosen, const fs::path& decodedWav) {
  const std::shared_ptr<SoundDecoder> decoder = InstalledSoundDecoder();
  if (!decoder || !Openable(chosen) || RiffReaderTakes(chosen)) return {chosen, chosen};
  const std::unique_ptr<SoundReader> reader = decoder->Open(chosen);
  if (!reader) throw EWaveStreamError(InvalidSoundMessage(chosen));
  std::error_code ignored;
  if (decodedWav.has_parent_path()) fs::create_directories(decodedWav.parent_path(), ignored);
  DecodeToWav(*reader, chosen, decodedWav, CurrentDecodeWatch());
  return {chosen, decodedWav.string()};
}
