#pragma once
// Sound test helpers: waves made from sample lists and a device that records
// what it mixes on a manual capture tape.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "kit/CaptureOutput.h"
#include "kit/DXClass.h"
#include "kit/Wave.h"

constexpr int kRate = 48000;

// Interleaved 16-bit samples as a wave of the given rate and channels.
inline Wave::TWave MakeWave16(const std::vector<int16_t>& samples, uint32_t rate = kRate,
                              uint16_t channels = 2) {
  Wave::TWave wave;
  wave.SetFormat(Wave::MakePcmFormat(rate, 16, channels));
  wave.SetSize(static_cast<int32_t>(samples.size() * 2));
  std::memcpy(wave.Data(), samples.data(), samples.size() * 2);
  return wave;
}

// A stereo ramp with different left and right values, never 0.
inline std::vector<int16_t> Ramp(int frames) {
  std::vector<int16_t> s;
  for (int i = 0; i < frames; ++i) {
    s.push_back(static_cast<int16_t>(100 + 37 * i));
    s.push_back(static_cast<int16_t>(-200 - 29 * i));
  }
  return s;
}

inline std::shared_ptr<CaptureTape> ManualTape(int period = 240) {
  CaptureTape::Settings settings;
  settings.rate = kRate;
  settings.periodFrames = period;
  return std::make_shared<CaptureTape>(settings);
}

// Fills a secondary buffer with the samples.
inline std::unique_ptr<TDirectSoundBuffer> MakeBuffer(TDirectSound& device,
                                                      const std::vector<int16_t>& samples,
                                                      uint32_t rate = kRate) {
  auto buffer = std::make_unique<TDirectSoundBuffer>(device);
  TDSBufferDesc desc{0xE0, static_cast<uint32_t>(samples.size() * 2),
                     Wave::MakePcmFormat(rate, 16, 2)};
  if (!buffer->CreateBuffer(desc)) return nullptr;
  TLockRegions r;
  buffer->Lock(0, desc.dwBufferBytes, r);
  std::memcpy(r.ptr1, samples.data(), r.bytes1);
  buffer->Unlock(r);
  return buffer;
}

// A recorded sample back in 16-bit units.
inline double In16(float sample) {
  return static_cast<double>(sample) * 32768.0;
}
