#include "kit/BlankWave.h"

#include <algorithm>

Wave::TWave BlankWave() {
  constexpr int32_t kFrames = 4410;
  Wave::TWave wave;
  wave.SetFormat(Wave::MakePcmFormat(44100, 16, 1));
  wave.SetSize(kFrames * 2);
  std::fill(wave.Data(), wave.Data() + wave.Size(), uint8_t{0});
  return wave;
}
