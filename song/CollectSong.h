#pragma once
// Collecting a song into one folder: an empty folder (made when missing)
// receives what PlanCollect lists, each file through a part file. Nothing is
// left behind when it fails or is stopped.
#include <filesystem>

#include "song/CollectPlan.h"

class RenderProgress;

struct CollectResult {
  std::size_t files = 0;
  bool cancelled = false;  // stopped: the folder was put back as it was
};

// Refuses a folder that isn't empty and a song whose files are missing (one
// message listing them all) before writing anything. An error while writing
// removes what was written and the folders made. Advance counts bytes; the
// files' names are told as Adding.
CollectResult CollectSong(const CollectInput& input, const std::filesystem::path& folder,
                          RenderProgress& progress);
