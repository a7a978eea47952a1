#include "song/CollectFlow.h"

#include "common/Files.h"
#include "song/CollectSong.h"
#include "song/SongFile.h"

namespace fs = std::filesystem;

namespace {

// "Play pattern" and "Play, play list" are off while the files are copied:
// Stop enables them again, which stops the copying.
class ButtonsOff {
 public:
  explicit ButtonsOff(CollectHost& host) : host_(host) { host_.setPlayButtonsEnabled(false); }
  ~ButtonsOff() { host_.setPlayButtonsEnabled(true); }

 private:
  CollectHost& host_;
};

}  // namespace

std::string CollectedSongName(const fs::path& folder, const std::optional<fs::path>& songFile) {
  if (songFile && songFile->has_filename()) return songFile->filename().string();
  const std::string name = folder.filename().string();
  if (!name.empty() && name != "." && name != "..") return name + ".sng";
  const std::string parent = folder.parent_path().filename().string();
  return (parent.empty() || parent == "." || parent == ".." ? std::string("Song") : parent) +
         ".sng";
}

void CollectSongClick(CollectHost& host, Prompts& prompts, RenderProgress& progress) {
  const std::vector<std::string> entries = host.entries();
  if (entries.empty()) return;
  FileRequest request;
  request.title = kCollectDialogTitle;
  request.startDir = host.home.string();
  request.folderKind = "collect";
  const auto chosen = prompts.ChooseFolder(request);
  if (!chosen || chosen->empty()) return;
  const fs::path folder = *chosen;

  CollectInput input;
  input.home = host.home;
  input.songFileName = CollectedSongName(folder, host.songFile);
  input.song = ParseSongLines(BuildSongLines(entries, *host.slots));
  input.kitBytes = host.kitBytes();
  input.pans = host.pans();
  CollectResult result;
  {
    const ButtonsOff off(host);
    result = CollectSong(input, folder, progress);
  }
  if (result.cancelled)
    prompts.Message("Stopped: nothing was collected", "Korvanto", PromptButtons::Ok);
  else
    prompts.Message("The song and the " + std::to_string(result.files - 1) +
                        " files it needs were collected into " + DisplayPath(folder) + " as " +
                        input.songFileName,
                    "Korvanto", PromptButtons::Ok);
}
