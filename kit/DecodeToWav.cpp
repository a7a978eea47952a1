#include "kit/DecodeToWav.h"

#include <algorithm>
#include <fstream>
#include <system_error>
#include <vector>

#include "common/Exception.h"
#include "common/Files.h"
#include "kit/DecodeWatch.h"
#include "kit/Pcm16Quantizer.h"
#include "kit/SoundDecoder.h"
#include "kit/Wave.h"

namespace fs = std::filesystem;

namespace {

// Samples per read, whatever the channel count, so the block stays small.
constexpr std::int64_t kBlockSamples = 32768;
constexpr std::int64_t kMaxRate = 0x3FFFFFFF;  // bytes per second must fit 32 bits

void PutU32(std::string& bytes, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The program's WAV layout (as a kit wave saves itself): RIFF header, an
// 18-byte PCM format, the data and one 0 byte that the sizes leave out.
std::string WavHeader(std::uint32_t rate, std::uint16_t channels, std::uint32_t dataBytes) {
  const Wave::Bytes format = Wave::MakePcmFormat(rate, 16, channels);
  std::string header = "RIFF____WAVEfmt ____";
  header.append(format.begin(), format.end());
  header += "data____";
  PutU32(header, 4, static_cast<std::uint32_t>(4 + 8 + format.size() + 8 + dataBytes));
  PutU32(header, 16, static_cast<std::uint32_t>(format.size()));
  PutU32(header, header.size() - 4, dataBytes);
  return header;
}

void CheckInfo(const SoundInfo& info, const fs::path& source) {
  if (info.channels < 1 || info.channels > kMaxDecodedChannels || info.rate < 1 ||
      info.rate > kMaxRate || info.frames < 0)
    throw EWaveStreamError(InvalidSoundMessage(source));
  const std::int64_t frameBytes = 2 * std::min(info.channels, 2);
  if (info.frames > kMaxDecodedBytes / frameBytes)
    throw EWaveStreamError("Sound too long for a WAV file: " + DisplayPath(source));
}

class Decoding {
 public:
  Decoding(SoundReader& reader, const fs::path& source, const fs::path& out, DecodeWatch& watch)
      : reader_(reader),
        info_(reader.Info()),
        source_(source),
        out_(out),
        watch_(watch),
        quantizer_(info_.bits),
        outChannels_(std::min(info_.channels, 2)),
        blockFrames_(std::max<std::int64_t>(1, kBlockSamples / info_.channels)),
        in_(static_cast<std::size_t>(blockFrames_ * info_.channels)),
        bytes_(static_cast<std::size_t>(blockFrames_ * outChannels_ * 2)) {
    part_ = out;
    part_ += ".part";
  }

  const fs::path& Part() const { return part_; }

  DecodedWav Run() {
    std::ofstream out(part_, std::ios::binary | std::ios::trunc);
    if (!out) throw EFCreateError(DisplayPath(out_));
    const auto rate = static_cast<std::uint32_t>(info_.rate);
    const auto channels = static_cast<std::uint16_t>(outChannels_);
    out << WavHeader(rate, channels, 0);
    std::int64_t frames = 0;
    for (;;) {
      const std::int64_t got = reader_.Read(in_.data(), blockFrames_);
      if (got < 0 || got > blockFrames_) throw EWaveStreamError(InvalidSoundMessage(source_));
      if (got == 0) break;
      frames += got;
      if (frames * 2 * outChannels_ > kMaxDecodedBytes)
        throw EWaveStreamError("Sound too long for a WAV file: " + DisplayPath(source_));
      WriteBlock(out, got);
      if (!watch_.Continue(frames)) throw EAbort();
    }
    if (frames < info_.frames) throw EWaveStreamError(InvalidSoundMessage(source_));
    const auto dataBytes = static_cast<std::uint32_t>(frames * 2 * outChannels_);
    out.put('\0');
    out.seekp(0);
    out << WavHeader(rate, channels, dataBytes);
    out.close();
    if (!out) throw EFCreateError(DisplayPath(out_));
    return {frames, quantizer_.Clipped()};
  }

 private:
  // Keeps the first two channels of each frame, little-endian.
  void WriteBlock(std::ofstream& out, std::int64_t frames) {
    char* at = bytes_.data();
    for (std::int64_t f = 0; f < frames; ++f) {
      const float* frame = in_.data() + f * info_.channels;
      for (int c = 0; c < outChannels_; ++c) {
        const auto s = static_cast<std::uint16_t>(quantizer_.Next(frame[c]));
        *at++ = static_cast<char>(s & 0xFF);
        *at++ = static_cast<char>(s >> 8);
      }
    }
    out.write(bytes_.data(), at - bytes_.data());
    if (!out) throw EFCreateError(DisplayPath(out_));
  }

  SoundReader& reader_;
  const SoundInfo info_;
  const fs::path& source_;
  const fs::path& out_;
  fs::path part_;
  DecodeWatch& watch_;
  Pcm16Quantizer quantizer_;
  const int outChannels_;
  const std::int64_t blockFrames_;
  std::vector<float> in_;
  std::vector<char> bytes_;
};

// Ends the watch's decode however the decode ends.
struct WatchEnd {
  DecodeWatch& watch;
  ~WatchEnd() { watch.End(); }
};

}  // namespace

std::string InvalidSoundMessage(const fs::path& source) {
  return "Wave is invalid: " + DisplayPath(source);
}

DecodedWav DecodeToWav(SoundReader& reader, const fs::path& source, const fs::path& out,
                       DecodeWatch& watch) {
  CheckInfo(reader.Info(), source);
  watch.Begin(source, reader.Info().frames);
  WatchEnd end{watch};
  Decoding decoding(reader, source, out, watch);
  DecodedWav result;
  std::error_code ec;
  try {
    result = decoding.Run();
    fs::rename(decoding.Part(), out, ec);
    if (ec) throw EFCreateError(DisplayPath(out));
  } catch (...) {
    fs::remove(decoding.Part(), ec);
    throw;
  }
  if (result.clipped > 0) watch.Clipped(source, result.clipped);
  return result;
}
