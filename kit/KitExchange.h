#pragma once
// A kit as a folder of sound files and back: each instrument extracted to a
// numbered WAV file named after it ("01 Kick.wav"), and a kit built from
// sound files as the kit maker builds one (entry 0 blank-named and silent,
// the instruments' names padded to ten characters and "[ ]").
#include <filesystem>
#include <string>
#include <vector>

class TWaveCollection;

// The file entry index of a kit of count entries is extracted to: the index
// with at least two digits (more when the kit needs them), a blank and the
// name as the kit maker's row shows it, as UTF-8, with '_' for characters a
// file name can't hold.
std::string ExtractedFileName(int index, int count, const std::string& entryName);

// The files ExtractKit writes, in entry order.
std::vector<std::filesystem::path> ExtractedFiles(const TWaveCollection& kit,
                                                  const std::filesystem::path& folder);

// Writes entries 1 .. Count-1 into folder (made when missing), each file
// complete or not there; returns their paths. Entry 0, the blank, is left
// out: a build makes it anew. EFCreateError when a file can't be written.
std::vector<std::filesystem::path> ExtractKit(const TWaveCollection& kit,
                                              const std::filesystem::path& folder);

// One instrument of a kit to build.
struct KitSource {
  std::string name;  // Latin-1, at most ten characters
  std::filesystem::path file;
};

// "NAME=FILE" or FILE. A FILE alone is named after its file name less its
// extension and a leading number ("01 Kick.wav" gives Kick), cut to ten
// characters. An argument that names an existing file is a FILE even when
// it holds '='. Exception for a NAME longer than ten characters.
KitSource ParseKitSource(const std::string& argument);

// The instrument's kit entry name: "Snare" gives "Snare     [ ]".
std::string KitEntryNameOf(const KitSource& source);

// Exception naming them when two sources would get the same entry name
// (letter case aside): cells name their instrument, so the second could
// never be played.
void RefuseDuplicateNames(const std::vector<KitSource>& sources);

// Entry 0 blank-named with the blank sound, then one entry per source with
// its file's sound: an 8- or 16-bit PCM WAV as it is, any other format the
// installed decoder reads decoded to 16 bits in tempDir first, an empty file
// as an empty sound. Raises the first file's error ("Cannot open file %s",
// "Wave is invalid: %s").
void BuildKit(const std::vector<KitSource>& sources, const std::filesystem::path& tempDir,
              TWaveCollection& kit);
