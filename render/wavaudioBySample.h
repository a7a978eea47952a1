#pragma once
// The mix as its definition reads: every sample of every frame in turn,
// interpolated, scaled, rounded and added through GetSample and SetSample.
// Slow; it is the yardstick the fast mixer is measured against. The source
// must not be the destination itself.
#include <cstdint>

namespace wavaudio {

class TWave;

void MixWaveBySample(TWave& destination, const TWave* source, std::int32_t rate, double volume,
                     double pan, double time);

}  // namespace wavaudio
