#pragma once
// Stems: one file per instrument the song uses, each holding what the render
// gives for that instrument alone, all as long as the whole render, so that
// summed sample by sample (where nothing clips) they are the render.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/Text.h"
#include "render/RenderPlan.h"
#include "render/SongOutput.h"

class RenderProgress;

// "01 Kick.wav", "17 Sample3 (zap).wav": each instrument's place among the
// given ones (two digits, more when there are more than 99) and its name, a
// slot's with its file's title, with the characters file systems refuse
// made '_'.
std::vector<std::string> StemFileNames(const InstrumentTable& chooser, const SlotSounds& slots,
                                       const std::vector<int>& instruments);

// Whether a file name is a stem's: two or more digits, a blank, a name and
// ".wav" in any letter case.
bool IsStemFileName(const std::string& name);

// "3 other stem files are in the folder"; empty for none.
std::string OtherStemsText(std::size_t others);

struct StemsResult {
  std::vector<std::filesystem::path> written;  // in chooser order
  std::size_t planned = 0;
  // Stem files in the folder that this song doesn't write: another song's,
  // which the finishing message mentions.
  std::size_t others = 0;
  std::int64_t frames = 0;  // in each stem
  bool cancelled = false;
};

// Writes the stems of the sequence's instruments into the folder (made when
// missing), replacing files of the same names, each through a part file.
// When progress reports Cancelled, the stems finished stay and the one under
// way is not written. Raises what the render raises; EFCreateError naming a
// stem or the folder that can't be written.
StemsResult ExportStems(const RenderInput& input, const Lines& sequence,
                        const std::vector<int>& used, const std::filesystem::path& folder,
                        const SongShape& shape, RenderProgress& progress);
