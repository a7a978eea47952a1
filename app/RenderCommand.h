#pragma once
// "korvanto render SONG.sng|PATTERN.pat OUT.wav", run in a home folder as the
// program is: the kit "power.dxg" with the pans of "Panning.dat", the sample
// slots as "Blank.wav" until the song or pattern loads its own, then the
// render's preparation and assembly.
#include <filesystem>

class RenderProgress;

struct RenderCommandResult {
  std::int32_t frames = 0;
  bool cancelled = false;
};

// Raises the first error (a kit, song, pattern or sample that can't be
// read, a render or save that fails). An existing output file is replaced
// only by a complete song.
RenderCommandResult RenderFromCommandLine(const std::filesystem::path& home,
                                          const std::filesystem::path& input,
                                          const std::filesystem::path& output,
                                          RenderProgress& progress);
