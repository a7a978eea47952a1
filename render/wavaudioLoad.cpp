// Reading a RIFF/WAVE file: a walk over its chunks that takes the format
// record from "fmt " and the samples from "data". Everything is checked
// before the wave changes, so a broken file leaves it as it was.
#include <cstring>

#include "common/Exception.h"
#include "render/wavaudio.h"
#include "render/wavaudioMath.h"

namespace wavaudio {
namespace {

std::uint32_t Le32(const std::uint8_t* at) {
  return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 |
         std::uint32_t(at[3]) << 24;
}

bool IsId(const std::uint8_t* at, const char* id) {
  return std::memcmp(at, id, 4) == 0;
}

struct DataChunk {
  bool found = false;
  std::int64_t body = 0;
  std::int64_t size = 0;
  std::int32_t frames = 0;
};

}  // namespace

void TWave::LoadFromFile(const std::filesystem::path& fileName) {
  WaveFile in(fileName, WaveFile::Mode::Read);
  std::uint8_t head[12];
  if (in.ReadAt(0, head, sizeof head) != sizeof head) return;
  if (!IsId(head, "RIFF") || !IsId(head + 8, "WAVE")) return;
  const auto riffSize = static_cast<std::int32_t>(Le32(head + 4));

  FormatBytes format = Format.ToBytes();
  DataChunk data;
  // The running offset of the walk counts from "WAVE", 8 bytes into the file.
  for (std::int64_t pos = 12; pos - 8 < riffSize;) {
    std::uint8_t header[8];
    if (in.ReadAt(pos, header, sizeof header) != sizeof header) break;  // end of the file
    const std::int64_t size = Le32(header + 4);
    const std::int64_t body = pos + 8;
    if (IsId(header, "fmt ")) {
      // A short body overwrites only its leading fields; a long one is cut.
      in.ReadExactly(body, format.data(),
                     static_cast<std::size_t>(std::min<std::int64_t>(size, kFormatRecordSize)));
    } else if (IsId(header, "data")) {
      if (size > in.Size() - body) throw EReadError();
      const std::uint16_t blockAlign = TWaveFormat::FromBytes(format).nBlockAlign;
      data = {true, body, size, RoundToInt32(Divide(double(size), blockAlign))};
    }
    pos = body + size;  // no pad byte after an odd-sized body
  }

  if (data.found) {
    if (useFile_) {
      // The old window belongs to the old samples.
      DropWindow();
      file_ = WaveFile();
      WaveFile created(FileName, WaveFile::Mode::CreateEmpty);
      created.AppendFrom(in, data.body, data.size);
      created.Close();
      file_ = WaveFile(FileName, WaveFile::Mode::ReadWrite);
    } else {
      std::vector<std::uint8_t> bytes(static_cast<std::size_t>(data.size));
      in.ReadExactly(data.body, bytes.data(), bytes.size());
      data_.swap(bytes);
    }
    frameCount_ = data.frames;
  }
  Format = TWaveFormat::FromBytes(format);
}

}  // namespace wavaudio
