#pragma once
// "Collect song into folder..." from the main window: the song as Save Song
// would write it (the whole play list and the 32 slots), the kit and pans as
// the program holds them, collected into a folder the user chooses. The song
// keeps its file's name; a song never saved is named after the folder
// ("Gig/Gig.sng").
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/Prompts.h"

class RenderProgress;
class SlotAccess;

inline constexpr const char* kCollectDialogTitle = "Collect song into folder";

struct CollectHost {
  std::filesystem::path home;
  std::optional<std::filesystem::path> songFile;      // opened or saved as
  std::function<std::vector<std::string>()> entries;  // the play list
  SlotAccess* slots = nullptr;
  std::function<std::string()> kitBytes;   // the kit file of the kit loaded
  std::function<std::vector<int>()> pans;  // what "Panning.dat" would get
  std::function<void(bool)> setPlayButtonsEnabled;
};

// The song's file name in a folder: its own file's name, else the folder's
// name and ".sng".
std::string CollectedSongName(const std::filesystem::path& folder,
                              const std::optional<std::filesystem::path>& songFile);

// Asks for the folder and collects; an empty play list does nothing, as the
// render does. Tells where the song went, or that Stop left nothing behind.
// Errors (a folder that isn't empty, missing files, a write that fails) are
// raised to the caller's guard after the buttons are restored.
void CollectSongClick(CollectHost& host, Prompts& prompts, RenderProgress& progress);
