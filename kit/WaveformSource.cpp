#include "kit/WaveformSource.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <vector>

#include "kit/Wave.h"
#include "kit/WaveStream.h"
#include "kit/WaveformScan.h"

namespace {

constexpr size_t kWholeDigestBytes = size_t{4} << 20;
constexpr size_t kDigestPieces = 64;
constexpr size_t kDigestPieceBytes = 64 << 10;
constexpr size_t kReadBytes = 1 << 20;

// FNV-1a over 8-byte words (the tail byte by byte).
uint64_t Digest(uint64_t hash, const uint8_t* bytes, size_t size) {
  constexpr uint64_t kPrime = 0x100000001b3ull;
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    hash = (hash ^ word) * kPrime;
  }
  for (; i < size; ++i) hash = (hash ^ bytes[i]) * kPrime;
  return hash;
}

uint64_t DigestOfSamples(uint64_t hash, const uint8_t* data, size_t size) {
  if (size <= kWholeDigestBytes) return Digest(hash, data, size);
  const size_t stride = (size - kDigestPieceBytes) / (kDigestPieces - 1);
  for (size_t piece = 0; piece < kDigestPieces; ++piece)
    hash = Digest(hash, data + piece * stride, kDigestPieceBytes);
  return hash;
}

}  // namespace

SoundIdentity IdentityOfWave(const Wave::TWave& wave) {
  const Wave::Bytes& format = wave.FormatBytes();
  uint64_t hash = Digest(0xcbf29ce484222325ull, format.data(), format.size());
  hash = DigestOfSamples(hash, wave.Data(), static_cast<size_t>(wave.Size()));
  return {"wave of " + std::to_string(wave.Size()) + " bytes", hash};
}

SoundIdentity IdentityOfWaveFile(const std::filesystem::path& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  const auto changed = std::filesystem::last_write_time(path, error);
  if (error) return {"file " + path.string(), 0};
  const auto ticks = static_cast<uint64_t>(changed.time_since_epoch().count());
  return {"file " + path.string(), (static_cast<uint64_t>(size) * 0x9e3779b97f4a7c15ull) ^ ticks};
}

WaveformPeaks PeaksOfWave(const Wave::TWave& wave) {
  const auto layout = ParseSampleLayout(wave.FormatBytes());
  if (!layout) return {};
  return PeaksOfSamples(wave.Data(), static_cast<size_t>(std::max(wave.Size(), 0)), *layout);
}

WaveformPeaks PeaksOfWaveFile(const std::filesystem::path& path) {
  Wave::TWaveFileStream stream(path);
  const auto layout = ParseSampleLayout(stream.Format());
  if (!layout || layout->blockAlign == 0) return {};
  WaveformScan scan(*layout, stream.Size() / layout->blockAlign);
  std::vector<uint8_t> piece(kReadBytes);
  for (int64_t at = 0; at < stream.Size();) {
    const size_t got = stream.ReadAt(at, piece.data(), piece.size());
    if (got == 0) break;
    scan.Add(piece.data(), got);
    at += static_cast<int64_t>(got);
  }
  return scan.Finish();
}

std::shared_ptr<const WaveformPeaks> WaveformOf(WaveformCache& cache, const Wave::TWave& wave) {
  return cache.Get(IdentityOfWave(wave), [&] { return PeaksOfWave(wave); });
}

std::shared_ptr<const WaveformPeaks> WaveformOfFile(WaveformCache& cache,
                                                    const std::filesystem::path& path) {
  return cache.Get(IdentityOfWaveFile(path), [&] { return PeaksOfWaveFile(path); });
}
