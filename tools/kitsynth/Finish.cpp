#include <algorithm>

#include "tools/kitsynth/Voices.h"

namespace kitsynth {

void Finish(Signal& s, double fadeOutSeconds, double peakDb) {
  // DC blocker: a slow envelope under an asymmetric wave would thump.
  double previousIn = 0, previousOut = 0;
  for (double& v : s) {
    double out = v - previousIn + 0.9995 * previousOut;
    previousIn = v;
    previousOut = out;
    v = out;
  }
  size_t n = s.size();
  size_t fadeIn = std::min<size_t>(n, static_cast<size_t>(0.001 * SampleRate));
  for (size_t i = 0; i < fadeIn; ++i) s[i] *= Rise(TimeOf(i), 0.001);
  size_t fadeOut = std::min(n, static_cast<size_t>(fadeOutSeconds * SampleRate));
  for (size_t i = 0; i < fadeOut; ++i) s[n - 1 - i] *= Rise(TimeOf(i), fadeOutSeconds);
  if (n > 0) {
    s.front() = 0;
    s.back() = 0;
  }
  double peak = 0;
  for (double v : s) peak = std::max(peak, std::abs(v));
  if (peak > 0) {
    double gain = std::pow(10.0, peakDb / 20) / peak;
    for (double& v : s) v *= gain;
  }
}

}  // namespace kitsynth
