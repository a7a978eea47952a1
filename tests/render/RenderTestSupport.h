#pragma once
// A small kit, sound files and an independent reference of the song a
// render must give: hits placed by the timing rule, each sample computed
// from the mixing formula one at a time.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/Files.h"
#include "kit/InstrumentTable.h"
#include "kit/Wave.h"
#include "kit/WaveCollection.h"

namespace rendertest {

// A sound as 16-bit samples, interleaved when stereo.
struct Sound {
  std::uint32_t rate = 44100;
  int channels = 1;
  std::vector<std::int16_t> samples;
  int Frames() const { return static_cast<int>(samples.size()) / channels; }
};

// A decaying tone, loud enough that overlaps reach the clamp.
inline Sound Tone(int frames, int channels, std::uint32_t rate, double period, double peak) {
  Sound s;
  s.rate = rate;
  s.channels = channels;
  for (int f = 0; f < frames; ++f)
    for (int c = 0; c < channels; ++c) {
      const double env = 1.0 - double(f) / frames;
      s.samples.push_back(static_cast<std::int16_t>(
          std::lround(peak * env * std::sin((f + 3 * c) * 6.283185307 / period))));
    }
  return s;
}

inline Wave::TWave ToKitWave(const Sound& s) {
  Wave::TWave w;
  w.SetFormat(Wave::MakePcmFormat(s.rate, 16, static_cast<std::uint16_t>(s.channels)));
  w.SetSize(static_cast<std::int32_t>(s.samples.size() * 2));
  std::memcpy(w.Data(), s.samples.data(), s.samples.size() * 2);
  return w;
}

inline void WriteWav(const std::filesystem::path& path, const Sound& s) {
  ToKitWave(s).SaveToFile(path);
}

inline std::string Le(std::uint32_t v, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
  return out;
}

// A 44100 Hz 16-bit stereo file as the render saves it.
inline std::string SongFileBytes(const std::vector<std::int32_t>& interleaved) {
  std::string data;
  for (std::int32_t v : interleaved) data += Le(static_cast<std::uint16_t>(v), 2);
  const auto size = static_cast<std::uint32_t>(data.size());
  return "RIFF" + Le(size + 36, 4) + "WAVE" + "fmt " + Le(16, 4) + Le(1, 2) + Le(2, 2) +
         Le(44100, 4) + Le(176400, 4) + Le(4, 2) + Le(16, 2) + "data" + Le(size, 4) + data;
}

struct RefHit {
  const Sound* sound;
  std::uint32_t rate;  // play rate
  double volume;
  double pan;
  double time;
};

// Adds hits one after the other, each output sample clamped at every
// addition, as the design's mixing formula states it.
class ReferenceSong {
 public:
  void Add(const RefHit& hit) {
    const Sound& src = *hit.sound;
    const long offset = std::lrint(std::nearbyint(176400.0 * hit.time / 4));
    const double duration = double(src.Frames()) / src.rate;
    const double playing = duration * src.rate / hit.rate;
    const long destLen = std::lrint(std::nearbyint(44100 * playing));
    const double ratio = double(destLen) / src.Frames();
    double gain[2] = {1, 1};
    if (hit.pan < -1)
      gain[1] = 0;
    else if (hit.pan < 0)
      gain[1] = 1 + hit.pan;
    else if (hit.pan > 1)
      gain[0] = 0;
    else if (hit.pan > 0)
      gain[0] = 1 - hit.pan;
    if (static_cast<long>(frames_.size() / 2) < offset + destLen)
      frames_.resize(2 * (offset + destLen), 0);
    for (long n = 0; n < destLen; ++n) {
      const double pos = n / ratio;
      const long i0 = static_cast<long>(pos);
      const long i1 = std::min<long>(i0 + 1, src.Frames() - 1);
      const double w0 = 1 - (pos - i0);
      const double w1 = 1 - w0;
      for (int c = 0; c < 2; ++c) {
        const double s0 = Read(src, c, i0), s1 = Read(src, c, i1);
        long v = std::lrint(std::nearbyint((s0 * w0 + s1 * w1) * hit.volume * gain[c]));
        v += frames_[2 * (offset + n) + c];
        frames_[2 * (offset + n) + c] = static_cast<std::int32_t>(std::clamp(v, -32767L, 32767L));
      }
    }
  }
  const std::vector<std::int32_t>& Samples() const { return frames_; }
  std::string FileBytes() const { return SongFileBytes(frames_); }

 private:
  // Channel c of frame f as a sample address: a mono sound's channel 1 is
  // the next frame's sample; nothing past the end.
  static double Read(const Sound& s, int c, long f) {
    const long index = f * s.channels + c;
    if (f < 0 || f >= s.Frames() || index >= static_cast<long>(s.samples.size())) return 0;
    return s.samples[index];
  }
  std::vector<std::int32_t> frames_;
};

// A kit: the blank entry 0 and the given named sounds.
inline void MakeKit(TWaveCollection& kit,
                    const std::vector<std::pair<std::string, Sound>>& sounds) {
  kit.Clear();
  kit.Add();
  for (const auto& [name, sound] : sounds) {
    auto& item = kit.Add();
    item.SetName(name);
    item.SetWave(ToKitWave(sound));
  }
}

inline std::string Bytes(const std::filesystem::path& path) {
  return ReadFileBytes(path);
}

}  // namespace rendertest
