#include "song/SongFile.h"

#include "common/Exception.h"
#include "common/Files.h"
#include "pattern/SlotAccess.h"
#include "render/SlotShortName.h"

namespace {

const std::string& LineAt(const Lines& lines, size_t index) {
  static const std::string empty;
  return index < lines.size() ? lines[index] : empty;
}

}  // namespace

Lines BuildSongLines(const std::vector<std::string>& entries, SlotAccess& slots,
                     const SongSettings& settings) {
  Lines lines(entries.begin(), entries.end());
  for (int n = 1; n <= SlotAccess::kCount; ++n) {
    lines.push_back(kSlotBlockHeader + std::to_string(n));
    lines.push_back(slots.FileName(n));
    lines.push_back(std::to_string(slots.Frequency(n)));
    lines.push_back(kPanMark);
    lines.push_back(std::to_string(slots.Pan(n)));
  }
  const Lines extra = SongSettingsLines(settings);
  lines.insert(lines.end(), extra.begin(), extra.end());
  return lines;
}

SongFileData ParseSongLines(const Lines& lines) {
  SongFileData data;
  size_t at = 0;
  for (; at < lines.size() && !lines[at].starts_with(kSlotBlockMark); ++at)
    data.entries.push_back(lines[at]);
  for (int n = 1; n <= SlotAccess::kCount && at < lines.size(); ++n) {
    SongSlotBlock block;
    block.path = LineAt(lines, at + 1);
    block.frequency = ParseNumberLine(lines, static_cast<int64_t>(at) + 2);
    at += 3;
    if (at < lines.size() && lines[at] == kPanMark) {
      block.pan = ParseNumberLine(lines, static_cast<int64_t>(at) + 1);
      at += 2;
    }
    data.slots.push_back(std::move(block));
  }
  if (data.slots.size() == SlotAccess::kCount && at < lines.size())
    data.settings =
        ParseSongSettings(Lines(lines.begin() + static_cast<std::ptrdiff_t>(at), lines.end()),
                          static_cast<std::int64_t>(at));
  return data;
}

SongFileData ReadSongFile(const std::filesystem::path& path) {
  const Lines lines = ReadTextLines(path);
  try {
    return ParseSongLines(lines);
  } catch (const ELineError& error) {
    throw error.InFile(path.filename().string());
  }
}

void ApplySongSlot(int n, const SongSlotBlock& block, SlotAccess& slots) {
  slots.LoadFile(n, block.path);
  slots.SetButtonCaption(n, SlotShortName(block.path));
  slots.SetFrequency(n, block.frequency);
  if (FileNamePart(block.path) != SlotAccess::kBlankName) {
    slots.MarkHoldingSample();
    slots.SetFrequencyBar(block.frequency);
  }
  if (block.pan) slots.SetPan(n, *block.pan);
}
