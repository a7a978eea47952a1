#pragma once
// The peaks of the program's sounds: a wave in memory (a kit entry) or a
// WAV file (a sample slot's file), and how each is known in a cache.
#include <filesystem>
#include <memory>

#include "kit/WaveformCache.h"
#include "kit/WaveformPeaks.h"

namespace Wave {
class TWave;
}

// The wave's length and a digest of its format and samples (every byte of a
// sound up to a few megabytes, evenly spread pieces of a longer one).
SoundIdentity IdentityOfWave(const Wave::TWave& wave);
// The file's path, size and time of change.
SoundIdentity IdentityOfWaveFile(const std::filesystem::path& path);

// No peaks for a wave whose format the mixer couldn't play either.
WaveformPeaks PeaksOfWave(const Wave::TWave& wave);
// Reads the file piece by piece; raises what the WAV reader raises.
WaveformPeaks PeaksOfWaveFile(const std::filesystem::path& path);

std::shared_ptr<const WaveformPeaks> WaveformOf(WaveformCache& cache, const Wave::TWave& wave);
std::shared_ptr<const WaveformPeaks> WaveformOfFile(WaveformCache& cache,
                                                    const std::filesystem::path& path);
