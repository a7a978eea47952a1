#pragma once
// The song file: the play list's entries, one a line, then a block per
// sample slot: "<*samN", the slot's file, its frequency, "//", its pan.
// Older files have three-line blocks without "//" and pan.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/Text.h"
#include "song/SongSettings.h"

class SlotAccess;

inline constexpr const char* kSlotBlockMark = "<*";
inline constexpr const char* kSlotBlockHeader = "<*sam";
inline constexpr const char* kPanMark = "//";

struct SongSlotBlock {
  std::string path;
  int64_t frequency = 0;
  std::optional<int32_t> pan;  // absent in a three-line block
};

struct SongFileData {
  std::vector<std::string> entries;
  std::vector<SongSlotBlock> slots;  // from slot 1 on, at most 32
  SongSettings settings;             // from the lines after the 32nd block
};

Lines BuildSongLines(const std::vector<std::string>& entries, SlotAccess& slots,
                     const SongSettings& settings = {});

// Entries are the lines before the first that begins with "<*"; from there
// on up to 32 blocks, each header taken as it stands; the lines after the
// 32nd block hold the song's settings (ParseSongSettings). A file that ends between blocks gives
// fewer blocks. A block cut short reads its missing lines as empty, so its number fails: every
// number is checked here, before anything is applied (ELineError).
SongFileData ParseSongLines(const Lines& lines);
// EFOpenError for a file that can't be read; a broken one's ELineError names
// the file: "Demo.sng, line 9: 'fast' is not a valid integer value".
SongFileData ReadSongFile(const std::filesystem::path& path);

// Slot n takes a block: the file (also "Blank.wav"), the button caption,
// the frequency (the base frequency stays), the pan when the block has one.
// A slot with a sample brings the sample editor alive and its pitch bar.
void ApplySongSlot(int n, const SongSlotBlock& block, SlotAccess& slots);
