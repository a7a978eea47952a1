#pragma once
// What collecting a song into one folder takes: the song file, every pattern
// file it names, the kit "power.dxg", "Panning.dat", "Blank.wav" and every
// sample file its slots and its patterns' slots name, with those paths
// rewritten to the copied files' names, so the folder is a home that opens
// and renders the same song on another machine.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/Text.h"
#include "song/SongFile.h"

inline constexpr const char* kKitFileName = "power.dxg";
inline constexpr const char* kPanningFileName = "Panning.dat";
inline constexpr const char* kBlankFileName = "Blank.wav";

struct CollectInput {
  std::filesystem::path home;  // patterns, "Blank.wav", relative slot paths
  std::string songFileName;    // the song's name in the folder, "Demo.sng"
  SongFileData song;
  // The kit as the program holds it; when absent the home's "power.dxg".
  std::optional<std::string> kitBytes;
  // The pans to keep; when absent the home's "Panning.dat", or zeros.
  std::optional<std::vector<int>> pans;
};

struct CollectItem {
  std::string name;                  // in the folder
  std::filesystem::path source;      // copied from, unless bytes are given
  std::optional<std::string> bytes;  // written as they are
};

struct CollectPlan {
  std::vector<CollectItem> items;
  std::vector<std::string> missing;  // files the song needs that aren't there
};

// Reads the patterns (a broken one raises its error, naming the file) and
// looks for every file; nothing is written. A sample is copied under its own
// file name; another file of that name gets " (2)", " (3)" ... before the
// extension, unless it holds the same bytes, which are then copied once.
CollectPlan PlanCollect(const CollectInput& input);

// "These files are missing, so nothing was collected:" and one path a line.
std::string MissingFilesMessage(const std::vector<std::string>& missing);

// The song file's lines: the entries, then each slot block ("<*samN", path,
// frequency, and "//" and the pan where the block has them).
Lines SongLinesOf(const SongFileData& song);
