#pragma once
// A finished render delivered as asked: the render's own WAV as it stands,
// or FLAC of the same 16-bit samples, one channel (the mean of the two),
// loop-exact (folded at the song's length).
#include <cstdint>
#include <filesystem>

class RenderProgress;

enum class SongFileType { Wave, Flac };

// ".flac" in any letter case is FLAC; any other name gets WAV, as the
// render always wrote.
SongFileType SongFileTypeOf(const std::filesystem::path& path);

struct SongShape {
  bool mono = false;
  // The song's length in frames when the file is to loop exactly, else -1.
  std::int32_t loopFrames = -1;
  bool Loop() const { return loopFrames >= 0; }
};

// Raises before any work when the destination's type can't be written (a
// build without a FLAC encoder).
void CheckSongFileType(const std::filesystem::path& destination);

// True when the render's own file is already what the destination gets.
bool RenderIsFinal(const std::filesystem::path& destination, const SongShape& shape);

// The frames the destination gets of a render of renderFrames.
std::int64_t ShapedFrames(std::int64_t renderFrames, const SongShape& shape);

struct ShapedSong {
  std::int64_t frames = 0;
  bool cancelled = false;  // the file is complete but holds the frames up to the stop
};

// Writes the render held in work (44-byte header, 16-bit stereo samples) to
// part in the destination's type and the shape asked for. Advance counts the
// frames written on from progressBase; Cancelled stops the writing.
// EFCreateError naming the destination when part can't be written.
ShapedSong WriteShapedSong(const std::filesystem::path& work, const std::filesystem::path& part,
                           const std::filesystem::path& destination, const SongShape& shape,
                           RenderProgress& progress, std::int64_t progressBase);

// Moves a finished file, made beside the file to replaces, into place
// (CommitPart).
void MoveInto(const std::filesystem::path& from, const std::filesystem::path& to);
