#include "kit/MixerVoice.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr float kFraction = 1.0f / 4294967296.0f;

// Sample readers: raw value as float; the scale to -1..1 lives in the gains.
struct ReadU8 {
  static float At(const uint8_t* p, uint32_t i) { return static_cast<float>(p[i]) - 128.0f; }
  static constexpr int kBytes = 1;
};
struct ReadS16 {
  static float At(const uint8_t* p, uint32_t i) {
    int16_t v;
    std::memcpy(&v, p + 2 * static_cast<size_t>(i), 2);
    return v;
  }
  static constexpr int kBytes = 2;
};
struct ReadS24 {
  static float At(const uint8_t* p, uint32_t i) {
    const uint8_t* s = p + 3 * static_cast<size_t>(i);
    const int32_t v = static_cast<int32_t>((uint32_t(s[0]) << 8) | (uint32_t(s[1]) << 16) |
                                           (uint32_t(s[2]) << 24));
    return static_cast<float>(v >> 8);
  }
  static constexpr int kBytes = 3;
};
struct ReadS32 {
  static float At(const uint8_t* p, uint32_t i) {
    int32_t v;
    std::memcpy(&v, p + 4 * static_cast<size_t>(i), 4);
    return static_cast<float>(v);
  }
  static constexpr int kBytes = 4;
};
struct ReadF32 {
  static float At(const uint8_t* p, uint32_t i) {
    float v;
    std::memcpy(&v, p + 4 * static_cast<size_t>(i), 4);
    return v;
  }
  static constexpr int kBytes = 4;
};

// Sample index of channel c of frame f, for a block align given in samples.
template <class R, int kStride>
struct Frame {
  static uint32_t Index(uint32_t frame, uint32_t stride, uint32_t channel) {
    return frame * (kStride ? kStride : stride) + channel;
  }
};

// Adds n frames where both interpolation points lie inside the data.
template <class R, int kStride>
void MixInside(MixerVoice& v, float* out, int n, uint32_t stride, uint32_t right) {
  const uint8_t* p = v.data;
  uint64_t pos = v.position;
  const uint64_t step = v.step;
  const float gl = v.gainLeft, gr = v.gainRight;
  for (int i = 0; i < n; ++i) {
    const uint32_t f = static_cast<uint32_t>(pos >> 32);
    const float t = static_cast<float>(static_cast<uint32_t>(pos)) * kFraction;
    const uint32_t a = Frame<R, kStride>::Index(f, stride, 0);
    const uint32_t b = Frame<R, kStride>::Index(f + 1, stride, 0);
    const float l0 = R::At(p, a), l1 = R::At(p, b);
    const float r0 = R::At(p, a + right), r1 = R::At(p, b + right);
    out[2 * i] += (l0 + t * (l1 - l0)) * gl;
    out[2 * i + 1] += (r0 + t * (r1 - r0)) * gr;
    pos += step;
  }
  v.position = pos;
}

// Adds one frame at the last source frame: its neighbour is frame 0 when
// looping, silence otherwise.
template <class R, int kStride>
void MixLastFrame(MixerVoice& v, float* out, uint32_t stride, uint32_t right) {
  const uint32_t f = static_cast<uint32_t>(v.position >> 32);
  const float t = static_cast<float>(static_cast<uint32_t>(v.position)) * kFraction;
  const uint32_t a = Frame<R, kStride>::Index(f, stride, 0);
  const float l0 = R::At(v.data, a), r0 = R::At(v.data, a + right);
  const float l1 = v.looping ? R::At(v.data, 0) : 0.0f;
  const float r1 = v.looping ? R::At(v.data, right) : 0.0f;
  out[0] += (l0 + t * (l1 - l0)) * v.gainLeft;
  out[1] += (r0 + t * (r1 - r0)) * v.gainRight;
  v.position += v.step;
}

template <class R, int kStride>
bool MixWith(MixerVoice& v, float* out, int frames) {
  const uint32_t stride = v.layout.blockAlign / R::kBytes;
  const uint32_t right = v.layout.channels >= 2 ? 1 : 0;
  const uint64_t end = static_cast<uint64_t>(v.frames) << 32;
  const uint64_t lastStart = static_cast<uint64_t>(v.frames - 1) << 32;
  int done = 0;
  while (done < frames) {
    if (v.position >= end) {
      if (!v.looping) return false;
      v.position -= end;
      continue;
    }
    if (v.position < lastStart) {
      const uint64_t inside = (lastStart - v.position + v.step - 1) / v.step;
      const int n = static_cast<int>(inside < uint64_t(frames - done) ? inside : frames - done);
      MixInside<R, kStride>(v, out + 2 * done, n, stride, right);
      done += n;
    } else {
      MixLastFrame<R, kStride>(v, out + 2 * done, stride, right);
      ++done;
    }
  }
  if (v.position >= end && !v.looping) return false;
  return true;
}

template <class R>
bool MixKind(MixerVoice& v, float* out, int frames) {
  const uint32_t stride = v.layout.blockAlign / R::kBytes;
  if (v.layout.blockAlign % R::kBytes == 0 && stride == 2) return MixWith<R, 2>(v, out, frames);
  if (v.layout.blockAlign % R::kBytes == 0 && stride == 1) return MixWith<R, 1>(v, out, frames);
  return MixWith<R, 0>(v, out, frames);
}

}  // namespace

bool MixVoice(MixerVoice& v, float* out, int frames) {
  if (v.frames == 0 || v.step == 0) return false;
  switch (v.layout.kind) {
    case SampleKind::U8:
      return MixKind<ReadU8>(v, out, frames);
    case SampleKind::S16:
      return MixKind<ReadS16>(v, out, frames);
    case SampleKind::S24:
      return MixKind<ReadS24>(v, out, frames);
    case SampleKind::S32:
      return MixKind<ReadS32>(v, out, frames);
    case SampleKind::F32:
      return MixKind<ReadF32>(v, out, frames);
  }
  return false;
}

bool MixVoiceFading(MixerVoice& v, float* out, int frames, int fadeFrames) {
  // Mixed a piece at a time, then weighed frame by frame: the gain falls by
  // the same small amount every frame and is exactly 0 on the last.
  constexpr int kPiece = 64;
  float piece[2 * kPiece];
  const float perFrame = 1.0f / static_cast<float>(fadeFrames);
  bool more = true;
  for (int done = 0; done < frames && v.fadeLeft > 0 && more;) {
    const int n = std::min({kPiece, frames - done, v.fadeLeft});
    std::fill(piece, piece + 2 * n, 0.0f);
    more = MixVoice(v, piece, n);
    for (int i = 0; i < n; ++i) {
      const float gain = static_cast<float>(v.fadeLeft - 1 - i) * perFrame;
      out[2 * (done + i)] += piece[2 * i] * gain;
      out[2 * (done + i) + 1] += piece[2 * i + 1] * gain;
    }
    v.fadeLeft -= n;
    done += n;
  }
  return more && v.fadeLeft > 0;
}

void PanVolumeGains(int32_t volume, int32_t pan, float& left, float& right) {
  const float gain = volume <= -10000 ? 0.0f : std::pow(10.0f, volume / 2000.0f);
  left = right = gain;
  // Pan attenuates the opposite channel only.
  if (pan < 0) right *= pan <= -10000 ? 0.0f : std::pow(10.0f, pan / 2000.0f);
  if (pan > 0) left *= pan >= 10000 ? 0.0f : std::pow(10.0f, -pan / 2000.0f);
}

uint64_t ResampleStep(uint32_t sourceRate, uint32_t outputRate) {
  return ((static_cast<uint64_t>(sourceRate) << 32) + outputRate / 2) / outputRate;
}
