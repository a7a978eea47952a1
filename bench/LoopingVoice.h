#pragma once
// A voice that plays a sound in a loop from its first frame, for the mixer
// benches: the caller sets what differs (cursor, pitch, pan, meter).
#include <cstdint>

#include "kit/Mixer.h"

inline MixerCommand LoopingStart(int slot, const void* data, std::uint32_t frames,
                                 SampleLayout layout) {
  MixerCommand c;
  c.op = MixerOp::Start;
  c.slot = static_cast<std::uint16_t>(slot);
  c.generation = 1;
  c.data = static_cast<const std::uint8_t*>(data);
  c.frames = frames;
  c.layout = layout;
  c.looping = true;
  return c;
}
