#pragma once
// The assembly of a render: every hit of the play sequence mixed into one
// 44100 Hz, 16-bit, two-channel wave, saved to the chosen file. The song is
// built in a file beside the destination, a window of 500000 frames at a
// time, so memory stays bounded however long the song is, and moved into
// place when complete.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/Text.h"
#include "render/RenderPlan.h"
#include "render/SongMix.h"
#include "render/SongOutput.h"

class RenderProgress;

inline constexpr const char* kRenderFallbackFile = "temp.wav";
inline constexpr const char* kRenderFallbackText =
    "Unfortunatly it was not possible to save in the location you specified as it is currently "
    "in use. So it will be save at :";

enum class RenderOutcome { Saved, SavedToFallback, Cancelled };

struct RenderResult {
  RenderOutcome outcome = RenderOutcome::Saved;
  std::filesystem::path savedTo;
  std::int64_t frames = 0;  // in the file saved
};

// Instruments in increasing chooser index, each over the whole song, hits in
// sequence order: each output sample is the sum of the hits reaching it, in
// that order, clamped at every addition. The song is built window by
// window, each window taking every instrument in turn, which gives the same
// samples.
//
// When progress reports Cancelled, what was built so far is saved to the
// destination (no fallback) and the outcome is Cancelled: a song of one
// window holds the instruments before the current one and the current one's
// hits before the stop; a longer song holds every window before the current
// one complete. When the destination can't be written and onFallback is
// given, it is told the fallback message and the song goes to the home
// folder's "temp.wav"; otherwise EFCreateError is raised. The destination is
// replaced only by a complete file; on any error it is left as it was.
//
// A destination named ".flac" gets FLAC; the shape makes the file one
// channel or loop-exact (the render is then built in a work file beside it
// first). The fallback file keeps the shape and is a WAV.
RenderResult AssembleSong(const RenderInput& input, const Lines& sequence,
                          const std::vector<int>& used, const std::filesystem::path& destination,
                          RenderProgress& progress,
                          const std::function<void(const std::string&)>& onFallback = {},
                          const SongShape& shape = {});

// Runs a mix; a failed write of its work file becomes an error naming the
// destination with the system's reason.
MixOutcome MixNamingFile(const std::filesystem::path& destination,
                         const std::function<MixOutcome()>& mix);

// Puts a render built in work (workFrames long) at the destination in the
// form it and the shape ask for, through a part file. Writing a FLAC, mono or
// loop file counts its frames on from progressBase and stops at Cancelled:
// the file then holds the frames written so far when keepStopped, else the
// destination is left as it was.
ShapedSong DeliverSong(const std::filesystem::path& work, std::int64_t workFrames,
                       const std::filesystem::path& destination, const SongShape& shape,
                       RenderProgress& progress, std::int64_t progressBase, bool keepStopped);
