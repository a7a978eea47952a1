#pragma once
// "Collect song into folder..." from the main window: the song as Save Song
// would write it (the whole play list and the 32 slots), the kit and pans as
// the program holds them, collected into a folder the user chooses, named
// after that folder ("Gig/Gig.sng").
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/Prompts.h"

class RenderProgress;
class SlotAccess;

inline constexpr const char* kCollectDialogTitle = "Collect song into folder";

struct CollectHost {
  std::filesystem::path home;
  std::function<std::vector<std::string>()> entries;  // the play list
  SlotAccess* slots = nullptr;
  std::function<std::string()> kitBytes;   // the kit file of the kit loaded
  std::function<std::vector<int>()> pans;  // what "Panning.dat" would get
  std::function<void(bool)> setPlayButtonsEnabled;
};

// The song's file name in a folder: the folder's name and ".sng".
std::string CollectedSongName(const std::filesystem::path& folder);

// Asks for the folder and collects; an empty play list does nothing, as the
// render does. Tells where the song went, or that Stop left nothing behind.
// Errors (a folder that isn't empty, missing files, a write that fails) are
// raised to the caller's guard after the buttons are restored.
void CollectSongClick(CollectHost& host, Prompts& prompts, RenderProgress& progress);
