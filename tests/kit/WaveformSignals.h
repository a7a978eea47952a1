#pragma once
// Signals for the waveform tests, written as sample bytes of any kind.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "kit/SoundFormat.h"
#include "kit/Wave.h"

inline int BytesOf(SampleKind kind) {
  switch (kind) {
    case SampleKind::U8:
      return 1;
    case SampleKind::S16:
      return 2;
    case SampleKind::S24:
      return 3;
    case SampleKind::S32:
    case SampleKind::F32:
      return 4;
  }
  return 0;
}

// padding: bytes after each frame's samples.
inline SampleLayout LayoutOf(SampleKind kind, int channels, int padding = 0) {
  SampleLayout layout;
  layout.kind = kind;
  layout.channels = static_cast<uint16_t>(channels);
  layout.blockAlign = static_cast<uint16_t>(channels * BytesOf(kind) + padding);
  layout.rate = 44100;
  layout.avgBytesPerSec = 44100u * layout.blockAlign;
  return layout;
}

// Interleaved values (full scale -1 .. 1) as bytes of the layout.
inline std::vector<uint8_t> SampleBytes(const SampleLayout& layout,
                                        const std::vector<float>& values) {
  const int bytes = BytesOf(layout.kind);
  const size_t frames = values.size() / layout.channels;
  std::vector<uint8_t> out(frames * layout.blockAlign, 0xEE);  // padding reads as noise
  for (size_t i = 0; i < values.size(); ++i) {
    uint8_t* p = out.data() + (i / layout.channels) * layout.blockAlign +
                 (i % layout.channels) * static_cast<size_t>(bytes);
    const double v = values[i];
    switch (layout.kind) {
      case SampleKind::U8:
        p[0] = static_cast<uint8_t>(std::clamp(std::lround(v * 128) + 128, 0l, 255l));
        break;
      case SampleKind::S16: {
        const auto s = static_cast<int16_t>(std::clamp(std::lround(v * 32768), -32768l, 32767l));
        std::memcpy(p, &s, 2);
        break;
      }
      case SampleKind::S24: {
        const auto s =
            static_cast<int32_t>(std::clamp(std::lround(v * 8388608), -8388608l, 8388607l));
        p[0] = static_cast<uint8_t>(s & 0xFF);
        p[1] = static_cast<uint8_t>(s >> 8 & 0xFF);
        p[2] = static_cast<uint8_t>(s >> 16 & 0xFF);
        break;
      }
      case SampleKind::S32: {
        const auto s = static_cast<int32_t>(
            std::clamp(std::llround(v * 2147483648.0), -2147483648ll, 2147483647ll));
        std::memcpy(p, &s, 4);
        break;
      }
      case SampleKind::F32: {
        const auto s = static_cast<float>(v);
        std::memcpy(p, &s, 4);
        break;
      }
    }
  }
  return out;
}

// A 16-bit PCM wave of interleaved values.
inline Wave::TWave WaveOf(uint16_t channels, const std::vector<float>& values,
                          uint32_t rate = 44100) {
  Wave::TWave wave;
  wave.SetFormat(Wave::MakePcmFormat(rate, 16, channels));
  const std::vector<uint8_t> bytes = SampleBytes(LayoutOf(SampleKind::S16, channels), values);
  wave.SetSize(static_cast<int32_t>(bytes.size()));
  if (!bytes.empty()) std::memcpy(wave.Data(), bytes.data(), bytes.size());
  return wave;
}

// A square wave of period frames, +level then -level, one channel.
inline std::vector<float> Square(int frames, int period, float level) {
  std::vector<float> v(static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i) v[i] = (i % period) < period / 2 ? level : -level;
  return v;
}
