#pragma once
// The hits of a render made ready to mix: for each used instrument, in
// increasing chooser index, its sound prepared once per volume and every hit
// placed at its output frame.
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/OutputRule.h"
#include "common/Text.h"
#include "render/RenderPrep.h"
#include "render/wavaudioVoice.h"
#include "song/SongSettings.h"

class InstrumentTable;
class TWaveCollection;

struct RenderInput {
  std::filesystem::path home;
  const TWaveCollection& kit;
  const InstrumentTable& chooser;
  SlotSounds slots;
  // The folder holding the kit's and slots' work files; empty: the home's
  // temp folder, the windows' own.
  std::filesystem::path work = {};
  // Files read besides the slots' (the song, its patterns): no output
  // replaces them.
  std::vector<std::filesystem::path> inputs = {};
  // The song's swing and humanize, applied to every hit.
  Groove groove = {};
  // Level, mute and solo of the kit instruments; slots are left as they are.
  KitMix mix = {};
};

std::filesystem::path WorkFolderOf(const RenderInput& input);

// What a render's outputs may not replace: the files it reads, and the
// home's own.
OutputRule OutputRuleOf(const RenderInput& input);

struct PlacedHit {
  std::int32_t offset = 0;  // first output frame
  std::int32_t end = 0;     // one past the last
  const wavaudio::MixVoice* voice = nullptr;
};

struct InstrumentPass {
  int instrument = 0;
  // Muted, or not soloed while others are: mixed as silence, so the song
  // keeps its length, and left out of the stems.
  bool silenced = false;
  std::string label;  // what the render window shows while adding it
  std::vector<PlacedHit> hits;
  std::vector<std::unique_ptr<wavaudio::MixVoice>> voices;
};

// Reads each instrument's temporary file and prepares its sounds. The
// render's input wave is one wave reloaded before every hit, and a file that
// isn't a WAV image leaves it as it was, so such an instrument sounds what
// the hit before it sounded; that is kept here. Raises what the render would
// raise at those hits: a sound without frames or a rate of 0, a volume digit
// that isn't one, a kit without its blank entry.
std::vector<InstrumentPass> PlanRender(const RenderInput& input, const Lines& sequence,
                                       const std::vector<int>& used, const wavaudio::TWave& output);

// The temporary file an instrument is read from.
std::filesystem::path InstrumentWorkFile(const RenderInput& input, int instrument);
