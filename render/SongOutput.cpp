#include "render/SongOutput.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <system_error>
#include <vector>

#include "common/Exception.h"
#include "common/Files.h"
#include "common/SafeReplace.h"
#include "common/Text.h"
#include "kit/SoundEncoder.h"
#include "render/LoopFold.h"
#include "render/RenderProgress.h"
#include "render/wavaudioErrors.h"
#include "render/wavaudioFile.h"
#include "render/wavaudioFormat.h"

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kBlockFrames = 1 << 16;
constexpr std::uint32_t kRate = 44100;

// The render's own 16-bit PCM layout with one or two channels; the header
// states the frames written when the file is closed.
class WaveWriter : public SoundWriter {
 public:
  WaveWriter(const fs::path& path, int channels)
      : file_(path, wavaudio::WaveFile::Mode::CreateEmpty), channels_(channels) {
    format_.nChannels = static_cast<std::uint16_t>(channels);
    format_.nBlockAlign = static_cast<std::uint16_t>(2 * channels);
    format_.nAvgBytesPerSec = kRate * format_.nBlockAlign;
    WriteHeader();
  }
  void Write(const std::int16_t* frames, std::int64_t count) override {
    bytes_.resize(static_cast<std::size_t>(count * channels_ * 2));
    for (std::size_t i = 0; i < bytes_.size() / 2; ++i)
      wavaudio::EncodeSample(frames[i], false, &bytes_[2 * i]);
    file_.WriteAt(file_.Size(), bytes_.data(), bytes_.size());
  }
  void Close() override {
    WriteHeader();
    file_.Close();
  }

 private:
  void WriteHeader() {
    const std::int64_t data = std::max<std::int64_t>(0, file_.Size() - wavaudio::kWaveHeaderSize);
    // Sizes beyond what the header can state would give a broken file.
    if (data > std::int64_t(0xFFFFFFFFu) - 36) throw wavaudio::EWriteError();
    const auto header = wavaudio::WaveHeader(format_, static_cast<std::uint32_t>(data));
    file_.WriteAt(0, header.data(), header.size());
  }

  wavaudio::WaveFile file_;
  wavaudio::TWaveFormat format_;
  int channels_;
  std::vector<std::uint8_t> bytes_;
};

std::unique_ptr<SoundWriter> OpenWriter(const fs::path& part, SongFileType type, int channels) {
  if (type == SongFileType::Flac) return InstalledSoundEncoder().CreateFlac(part, kRate, channels);
  return std::make_unique<WaveWriter>(part, channels);
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

std::int64_t ShapedFrames(std::int64_t renderFrames, const SongShape& shape) {
  return shape.Loop() ? shape.loopFrames : renderFrames;
}

ShapedSong WriteShapedSong(const fs::path& work, const fs::path& part, const fs::path& destination,
                           const SongShape& shape, RenderProgress& progress,
                           std::int64_t progressBase) {
  wavaudio::WaveFile render(work, wavaudio::WaveFile::Mode::Read);
  FoldedFrames song(render, shape.loopFrames);
  const int channels = shape.mono ? 1 : 2;
  progress.Adding(destination.filename().string());
  ShapedSong shaped;
  try {
    auto writer = OpenWriter(part, SongFileTypeOf(destination), channels);
    std::vector<std::int16_t> block(static_cast<std::size_t>(kBlockFrames * 2));
    for (std::int64_t first = 0; first < song.Frames(); first += kBlockFrames) {
      if (progress.Cancelled()) {
        shaped.cancelled = true;
        break;
      }
      const std::int64_t count = std::min(kBlockFrames, song.Frames() - first);
      song.Read(first, count, block.data());
      if (shape.mono) ToMono(block.data(), count);
      writer->Write(block.data(), count);
      shaped.frames += count;
      progress.Advance(progressBase + shaped.frames);
    }
    writer->Close();
  } catch (const EStreamError&) {
    throw EFCreateError(DisplayPath(destination));
  } catch (const wavaudio::EWriteError& error) {
    throw EFileError(DisplayPath(destination), error.what());
  }
  return shaped;
}

void MoveInto(const fs::path& from, const fs::path& to) {
  CommitPart(from, to);
}
