#include "render/wavaudioBySample.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "render/wavaudio.h"
#include "render/wavaudioMath.h"

namespace wavaudio {

void MixWaveBySample(TWave& dest, const TWave* source, std::int32_t rate, double volume, double pan,
                     double time) {
  const TWaveFormat& format = dest.Format;
  const std::int32_t offset =
      RoundToInt32(Divide(double(format.nAvgBytesPerSec) * time, format.nBlockAlign));
  double gainLeft = 1, gainRight = 1;
  if (pan < -1) {
    gainRight = 0;
  } else if (pan < 0) {
    gainRight = 1 + pan;
  } else if (pan > 1) {
    gainLeft = 0;
  } else if (pan > 0) {
    gainLeft = 1 - pan;
  }
  if (source) {
    const double playingTime =
        Divide(source->Duration() * source->Format.nSamplesPerSec, static_cast<double>(rate));
    const std::int32_t destLen = RoundToInt32(format.nSamplesPerSec * playingTime);
    const double ratio = Divide(destLen, source->FrameCount());
    if (destLen > 0 && (!std::isfinite(volume) || std::isnan(pan))) throw EInvalidOp();
    if (std::int64_t(offset) + destLen > std::numeric_limits<std::int32_t>::max())
      throw EInvalidOp();
    for (std::int32_t n = 0; n < destLen; ++n) {
      const double pos = n / ratio;
      const auto i0 = static_cast<std::int32_t>(std::trunc(pos));
      const std::int32_t i1 = std::min(i0 + 1, source->FrameCount() - 1);
      const double w0 = 1 - (pos - i0);
      const double w1 = 1 - w0;
      for (int c = 0; c < format.nChannels; ++c) {
        const double gain = c == 0 ? gainLeft : c == 1 ? gainRight : 1;
        const double s0 = source->GetSample(c, i0);
        const double s1 = source->GetSample(c, i1);
        const std::int64_t d = dest.GetSample(c, offset + n);
        double v = std::nearbyint((s0 * w0 + s1 * w1) * volume * gain) + double(d);
        if (v > 32767) v = 32767;
        if (v < -32767) v = -32767;
        dest.SetSample(c, offset + n, static_cast<std::int32_t>(v));
      }
    }
  }
  if (dest.UseFile()) dest.FlushWindow();
}

}  // namespace wavaudio
