#include "song/SongMenu.h"

#include "common/Exception.h"
#include "common/Files.h"
#include "common/Text.h"
#include "pattern/PatternGrid.h"
#include "pattern/SlotAccess.h"
#include "song/PlayList.h"
#include "song/SequencerCore.h"
#include "song/SongFile.h"

FileRequest SongFileRequest(const std::filesystem::path& home) {
  FileRequest request;
  request.filter = kSongFilter;
  request.startDir = home.string();
  request.defaultSuffix = kSongSuffix;
  request.folderKind = "songs";
  return request;
}

void NewSong(PatternGrid& grid, PlayList& playList) {
  for (int row = PatternGrid::kFirstStepRow; row <= PatternGrid::kLastClearedRow; ++row)
    for (int col = 1; col <= PatternGrid::kChannels; ++col) grid.SetCell(col, row, "");
  grid.SetCell(0, 0, "");
  playList.Clear();
}

std::string SongExtensionRefusal(const std::filesystem::path& path) {
  return "A song is saved as a .sng file, not as '" + path.filename().string() + "'.";
}

std::string SongOutsideHomeQuestion(const std::filesystem::path& path,
                                    const std::filesystem::path& home) {
  return "'" + path.filename().string() + "' is saved outside the home folder " +
         DisplayPath(home) +
         ": its patterns stay in the home, and the song finds them only there. To keep the song "
         "with its patterns and sounds in a folder of its own, use File > Collect song into "
         "folder... instead.\n\nSave the song here anyway?";
}

namespace {

bool InFolder(const std::filesystem::path& path, const std::filesystem::path& folder) {
  std::error_code ec;
  return std::filesystem::weakly_canonical(std::filesystem::absolute(path).parent_path(), ec) ==
         std::filesystem::weakly_canonical(std::filesystem::absolute(folder), ec);
}

}  // namespace

std::optional<std::filesystem::path> SaveSong(SequencerCore& core, const std::string& songName) {
  FileRequest request = SongFileRequest(core.home);
  request.askBeforeOverwrite = true;
  if (!songName.empty()) request.fileName = songName + "." + kSongSuffix;
  const auto chosen = core.prompts.SaveFile(request);
  if (!chosen || chosen->empty()) return std::nullopt;
  std::filesystem::path path(*chosen);
  if (!path.has_extension()) {
    path += std::string(".") + kSongSuffix;
    // The dialog asked about the name as typed: ask about the file it becomes.
    if (std::filesystem::exists(path) &&
        core.prompts.Message("'" + path.filename().string() + "' exists. Replace it?", "Korvanto",
                             PromptButtons::YesNo) != PromptAnswer::Yes)
      return std::nullopt;
  } else if (!SameTextIgnoringCase(path.extension().string(), std::string(".") + kSongSuffix)) {
    core.prompts.ShowError(SongExtensionRefusal(path));
    return std::nullopt;
  }
  if (!InFolder(path, core.home) &&
      core.prompts.Message(SongOutsideHomeQuestion(path, core.home), "Korvanto",
                           PromptButtons::YesNo) != PromptAnswer::Yes)
    return std::nullopt;
  SaveSongTo(core, path);
  return path;
}

void SaveSongTo(SequencerCore& core, const std::filesystem::path& path) {
  WriteTextLines(path, BuildSongLines(core.playList.Names(), core.slots, core.settings));
}

std::optional<SongOpen> OpenSong(SequencerCore& core) {
  const auto chosen = core.prompts.OpenFile(SongFileRequest(core.home));
  if (!chosen || chosen->empty()) return std::nullopt;
  return OpenSongFile(core, *chosen);
}

SongOpen OpenSongFile(SequencerCore& core, const std::filesystem::path& path) {
  return LoadSongFile(path, core.playList, core.slots, &core.settings);
}

SongOpen LoadSongFile(const std::filesystem::path& path, PlayList& playList, SlotAccess& slots,
                      SongSettings* settings) {
  const SongFileData data = ReadSongFile(path);
  playList.SetNames(data.entries);
  if (settings) *settings = data.settings;
  SongOpen result;
  result.file = path;
  try {
    for (size_t i = 0; i < data.slots.size(); ++i)
      ApplySongSlot(static_cast<int>(i) + 1, data.slots[i], slots);
  } catch (const Exception& error) {
    result.slotError = error.Message();
  }
  return result;
}
