#pragma once
// Sound files of every format, written by libsndfile in the test, and the
// libsndfile decoder and encoder installed for a test's lifetime.
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "kit/SndFileDecoder.h"
#include "kit/SndFileEncoder.h"
#include "kit/SoundDecoder.h"
#include "kit/SoundEncoder.h"

namespace sound_files {

inline constexpr int kWav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
inline constexpr int kWav8 = SF_FORMAT_WAV | SF_FORMAT_PCM_U8;
inline constexpr int kWav24 = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
inline constexpr int kWavFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
inline constexpr int kWavEx24 = SF_FORMAT_WAVEX | SF_FORMAT_PCM_24;
inline constexpr int kAiff16 = SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
inline constexpr int kFlac16 = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
inline constexpr int kFlac24 = SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
inline constexpr int kOgg = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
inline constexpr int kOpus = SF_FORMAT_OGG | SF_FORMAT_OPUS;
inline constexpr int kMp3 = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;

inline SNDFILE* OpenForWriting(const std::filesystem::path& path, int format, int rate,
                               int channels) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) throw std::runtime_error("libsndfile can't write " + path.string());
  return file;
}

// Writes interleaved 32-bit integer samples (full scale at 2^31): exact for
// every integer width. Lossy and float formats take them scaled.
inline void WriteSound(const std::filesystem::path& path, int format, int rate, int channels,
                       const std::vector<int32_t>& samples) {
  SNDFILE* file = OpenForWriting(path, format, rate, channels);
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  sf_writef_int(file, samples.data(), static_cast<sf_count_t>(samples.size() / channels));
  sf_close(file);
}

// Float samples as they are, beyond full scale too.
inline void WriteFloatSound(const std::filesystem::path& path, int rate, int channels,
                            const std::vector<float>& samples) {
  SNDFILE* file = OpenForWriting(path, kWavFloat, rate, channels);
  sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size() / channels));
  sf_close(file);
}

// A stereo tone of 16-bit samples: 440 Hz left, 660 Hz right, at about a
// third of full scale.
inline std::vector<int16_t> Tone16(int frames, int rate) {
  std::vector<int16_t> s;
  s.reserve(static_cast<size_t>(frames) * 2);
  for (int i = 0; i < frames; ++i) {
    s.push_back(static_cast<int16_t>(std::lrint(11000 * std::sin(2 * M_PI * 440 * i / rate))));
    s.push_back(static_cast<int16_t>(std::lrint(9000 * std::sin(2 * M_PI * 660 * i / rate))));
  }
  return s;
}

// 16-bit samples as 32-bit ones; extra (0..65535) fills the bits below.
inline std::vector<int32_t> Widen(const std::vector<int16_t>& s16, uint32_t extra = 0) {
  std::vector<int32_t> s;
  s.reserve(s16.size());
  for (int16_t v : s16) s.push_back(static_cast<int32_t>(static_cast<uint32_t>(v) << 16 | extra));
  return s;
}

}  // namespace sound_files

// The program's decoder, installed while it lives.
class SndFileDecoding {
 public:
  SndFileDecoding() { SetSoundDecoder(MakeSndFileDecoder()); }
  ~SndFileDecoding() { SetSoundDecoder(nullptr); }
};

// The program's FLAC encoder, installed while it lives.
class SndFileEncoding {
 public:
  SndFileEncoding() { SetSoundEncoder(MakeSndFileEncoder()); }
  ~SndFileEncoding() { SetSoundEncoder(nullptr); }
};
