// Writing the wave as a RIFF/WAVE file: a 44-byte header and the samples.
#include <cstring>

#include "common/Exception.h"
#include "common/Files.h"
#include "render/wavaudio.h"
#include "render/wavaudioErrors.h"

namespace wavaudio {
namespace {

void Put32(std::uint8_t* at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

std::array<std::uint8_t, kWaveHeaderSize> WaveHeader(const TWaveFormat& format,
                                                     std::uint32_t dataSize) {
  std::array<std::uint8_t, kWaveHeaderSize> h{};
  std::memcpy(&h[0], "RIFF", 4);
  Put32(&h[4], dataSize + 36);
  std::memcpy(&h[8], "WAVE", 4);
  std::memcpy(&h[12], "fmt ", 4);
  Put32(&h[16], kFormatRecordSize);
  const FormatBytes record = format.ToBytes();
  std::memcpy(&h[20], record.data(), record.size());
  std::memcpy(&h[36], "data", 4);
  Put32(&h[40], dataSize);
  return h;
}

void TWave::SaveToFile(const std::filesystem::path& fileName) {
  // The file gets the samples with every write in the window.
  WriteBackWindow();
  const std::int64_t size = useFile_ ? file_.Size() : static_cast<std::int64_t>(data_.size());
  // Sizes beyond what the header can state would give a broken file.
  if (size > std::int64_t(0xFFFFFFFFu) - 36) throw EWriteError();

  const PartFile part(fileName);
  WaveFile out;
  try {
    out = WaveFile(part.Path(), WaveFile::Mode::CreateEmpty);
  } catch (const EFCreateError&) {
    throw EFCreateError(DisplayPath(fileName));
  }
  const auto header = WaveHeader(Format, static_cast<std::uint32_t>(size));
  out.WriteAt(0, header.data(), header.size());
  if (useFile_)
    out.AppendFrom(file_, 0, size);
  else
    out.WriteAt(static_cast<std::int64_t>(header.size()), data_.data(), data_.size());
  out.Close();
  part.Commit();
}

}  // namespace wavaudio
