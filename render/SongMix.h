#pragma once
// The render's mixing: planned passes built into a 44100 Hz, 16-bit stereo
// WAV file window by window, each window taking every pass in turn, so
// memory stays bounded however long the song is.
#include <cstdint>
#include <memory>
#include <span>

#include "render/RenderPlan.h"

class RenderProgress;
namespace wavaudio {
class TWave;
}

// How much mixing the passes ask for, in the units Advance counts.
std::int64_t MixWorkOf(std::span<const InstrumentPass> passes);
// One past the last frame any hit of the passes reaches: the song's frames.
std::int32_t SongEndOf(std::span<const InstrumentPass> passes);

struct MixOutcome {
  std::int32_t frames = 0;
  bool cancelled = false;
};

// out is in file storage on a new, empty file. The passes are mixed behind
// room for the header, the song is made at least minFrames long with
// silence, the header is written and the file closed. Advance counts on from
// progressBase. When progress reports Cancelled the file holds what was built
// so far: a song of one window the passes before the current one and the
// current one's hits before the stop, a longer song every window before the
// current one complete.
MixOutcome MixToFile(std::unique_ptr<wavaudio::TWave> out, std::span<const InstrumentPass> passes,
                     std::int32_t minFrames, RenderProgress& progress,
                     std::int64_t progressBase = 0);
