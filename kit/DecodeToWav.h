#pragma once
// Decodes a sound file into a canonical 16-bit PCM WAV in the program's layout, at
// the file's own rate, with its first two channels. The samples stream
// through in blocks, so a long file is never held whole.
#include <cstdint>
#include <filesystem>
#include <string>

class DecodeWatch;
class SoundReader;

// The most sample bytes a decoded WAV may hold: a kit wave keeps its size
// in 32 signed bits.
inline constexpr std::int64_t kMaxDecodedBytes = 0x7FFFFFFF - 64;
inline constexpr int kMaxDecodedChannels = 1024;

struct DecodedWav {
  std::int64_t frames = 0;
  std::int64_t clipped = 0;  // float samples beyond full scale
};

// "Wave is invalid: <path>", the bad-WAV message with the file's name.
std::string InvalidSoundMessage(const std::filesystem::path& source);

// "<path>: the file is shorter than its header says; what is there is used".
std::string ShorterThanHeaderMessage(const std::filesystem::path& source);

// Writes out.part and renames it to out once complete; on any failure out
// is untouched and no part file stays. Raises EWaveStreamError for a file
// that is damaged, ends before its declared length or declares an
// impossible format or a length no WAV holds (refused before anything is
// read), EAbort when the watch cancels and EFCreateError when out can't be
// written. Reports clipping, and a file shorter than its header says, to the
// watch.
DecodedWav DecodeToWav(SoundReader& reader, const std::filesystem::path& source,
                       const std::filesystem::path& out, DecodeWatch& watch);
