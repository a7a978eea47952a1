#include "song/SongMenu.h"

#include "common/Exception.h"
#include "common/Files.h"
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
  return request;
}

void NewSong(PatternGrid& grid, PlayList& playList) {
  for (int row = PatternGrid::kFirstStepRow; row <= PatternGrid::kLastClearedRow; ++row)
    for (int col = 1; col <= PatternGrid::kChannels; ++col) grid.SetCell(col, row, "");
  grid.SetCell(0, 0, "");
  playList.Clear();
}

std::optional<std::filesystem::path> SaveSong(SequencerCore& core) {
  const auto chosen = core.prompts.SaveFile(SongFileRequest(core.home));
  if (!chosen || chosen->empty()) return std::nullopt;
  std::filesystem::path path(*chosen);
  if (!path.has_extension()) path += std::string(".") + kSongSuffix;
  WriteTextLines(path, BuildSongLines(core.playList.Names(), core.slots));
  return path;
}

std::optional<SongOpen> OpenSong(SequencerCore& core) {
  const auto chosen = core.prompts.OpenFile(SongFileRequest(core.home));
  if (!chosen || chosen->empty()) return std::nullopt;
  return OpenSongFile(core, *chosen);
}

SongOpen OpenSongFile(SequencerCore& core, const std::filesystem::path& path) {
  return LoadSongFile(path, core.playList, core.slots);
}

SongOpen LoadSongFile(const std::filesystem::path& path, PlayList& playList, SlotAccess& slots) {
  const SongFileData data = ReadSongFile(path);
  playList.SetNames(data.entries);
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
