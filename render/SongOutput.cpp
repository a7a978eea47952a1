#include "render/SongOutput.h"

#include <cmath>
#include <memory>
#include <system_error>
#include <vector>

#include "common/Exception.h"
#include "common/Files.h"
#include "common/Text.h"
#include "kit/SoundEncoder.h"
#include "render/LoopFold.h"
#include "render/wavaudioErrors.h"
#include "render/wavaudioFile.h"
#include "render/wavaudioFormat.h"

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kBlockFrames = 1 << 16;
constexpr std::uint32_t kRate = 44100;

// The render's own 16-bit PCM layout with one or two channels.
class WaveWriter : public SoundWriter {
 public:
  WaveWriter(const fs::path& path, int channels, std::int64_t frames)
      : file_(path, wavaudio::WaveFile::Mode::CreateEmpty), channels_(channels) {
    wavaudio::TWaveFormat format;
    format.nChannels = static_cast<std::uint16_t>(channels);
    format.nBlockAlign = static_cast<std::uint16_t>(2 * channels);
    format.nAvgBytesPerSec = kRate * format.nBlockAlign;
    const std::int64_t data = frames * format.nBlockAlign;
    // Sizes beyond what the header can state would give a broken file.
    if (data > std::int64_t(0xFFFFFFFFu) - 36) throw wavaudio::EWriteError();
    const auto header = wavaudio::WaveHeader(format, static_cast<std::uint32_t>(data));
    file_.WriteAt(0, header.data(), header.size());
  }
  void Write(const std::int16_t* frames, std::int64_t count) override {
    bytes_.resize(static_cast<std::size_t>(count * channels_ * 2));
    for (std::size_t i = 0; i < bytes_.size() / 2; ++i)
      wavaudio::EncodeSample(frames[i], false, &bytes_[2 * i]);
    file_.WriteAt(file_.Size(), bytes_.data(), bytes_.size());
  }
  void Close() override { file_.Close(); }

 private:
  wavaudio::WaveFile file_;
  int channels_;
  std::vector<std::uint8_t> bytes_;
};

std::unique_ptr<SoundWriter> OpenWriter(const fs::path& part, SongFileType type, int channels,
                                        std::int64_t frames) {
  if (type == SongFileType::Flac) return InstalledSoundEncoder().CreateFlac(part, kRate, channels);
  return std::make_unique<WaveWriter>(part, channels, frames);
}

// Left and right become their mean, rounded to the nearest sample, ties to
// even.
void ToMono(std::int16_t* frames, std::int64_t count) {
  for (std::int64_t f = 0; f < count; ++f)
    frames[f] = static_cast<std::int16_t>(
        std::nearbyint((double(frames[2 * f]) + double(frames[2 * f + 1])) / 2));
}

}  // namespace

SongFileType SongFileTypeOf(const fs::path& path) {
  return SameTextIgnoringCase(path.extension().string(), ".flac") ? SongFileType::Flac
                                                                  : SongFileType::Wave;
}

void CheckSongFileType(const fs::path& destination) {
  if (SongFileTypeOf(destination) == SongFileType::Flac) InstalledSoundEncoder();
}

bool RenderIsFinal(const fs::path& destination, const SongShape& shape) {
  return SongFileTypeOf(destination) == SongFileType::Wave && !shape.mono && !shape.Loop();
}

std::int64_t WriteShapedSong(const fs::path& work, const fs::path& part,
                             const fs::path& destination, const SongShape& shape) {
  wavaudio::WaveFile render(work, wavaudio::WaveFile::Mode::Read);
  FoldedFrames song(render, shape.loopFrames);
  const int channels = shape.mono ? 1 : 2;
  try {
    auto writer = OpenWriter(part, SongFileTypeOf(destination), channels, song.Frames());
    std::vector<std::int16_t> block(static_cast<std::size_t>(kBlockFrames * 2));
    for (std::int64_t first = 0; first < song.Frames(); first += kBlockFrames) {
      const std::int64_t count = std::min(kBlockFrames, song.Frames() - first);
      song.Read(first, count, block.data());
      if (shape.mono) ToMono(block.data(), count);
      writer->Write(block.data(), count);
    }
    writer->Close();
  } catch (const EStreamError&) {
    throw EFCreateError(DisplayPath(destination));
  } catch (const wavaudio::EWriteError&) {
    throw EFCreateError(DisplayPath(destination));
  }
  return song.Frames();
}

void MoveInto(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::rename(from, to, error);
  if (!error) return;
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
  fs::remove(from);
}
