#pragma once
// The home folder: the kit "power.dxg", "Blank.wav", "Panning.dat", the
// pattern and song files and the temp folder live there. A folder holding
// the kit is a home as it stands; a new one is filled from the program's
// shared content (the default kit, Blank.wav, a panning table, the demo
// songs and patterns).
#include <filesystem>
#include <string>
#include <vector>

// Where a home may come from.
struct HomePlaces {
  std::filesystem::path current;  // the folder the program was started in
  std::string xdgDataHome;        // $XDG_DATA_HOME, empty when unset
  std::string userHome;           // $HOME
};

struct HomeChoice {
  std::filesystem::path folder;
  bool fill = false;  // the user's data folder: filled when it has no kit yet
  bool operator==(const HomeChoice&) const = default;
};

// A song file named on the command line: its name ends in ".sng".
bool IsSongArgument(const std::string& argument);

// $XDG_DATA_HOME/korvanto; ~/.local/share/korvanto when the variable is unset,
// empty or not an absolute path.
std::filesystem::path UserDataFolder(const HomePlaces& places);

// The windows' home: the current folder when it holds "power.dxg"; else the
// folder of the first song (.sng) among the arguments when it holds
// "power.dxg"; else the user's data folder, to be filled (a song elsewhere is
// read from where it is, its patterns from that home).
HomeChoice ChooseHome(const HomePlaces& places, const std::vector<std::string>& arguments);

// Makes the folder and its temp folder. When it holds no "power.dxg", every
// file of shared that it lacks is copied in; a file already there is never
// replaced, and a home with its kit gets nothing, so what the user changed or
// deleted stays so. True when the shared content was copied in. EFCreateError
// when the folder or a file can't be made.
bool FillHome(const std::filesystem::path& home, const std::filesystem::path& shared);

// The shared content: programFolder/relativeFromProgram when installed, else
// programFolder/share/korvanto, as the build folder holds it; empty when
// neither exists.
std::filesystem::path SharedContentFolder(const std::filesystem::path& programFolder,
                                          const std::filesystem::path& relativeFromProgram);
