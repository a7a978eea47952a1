#include "pattern/PatternFile.h"

#include "common/Exception.h"
#include "common/Files.h"
#include "pattern/PatternGrid.h"
#include "pattern/SlotAccess.h"
#include "song/Tempo.h"

namespace {

// Lines past the end of the file read as empty texts.
const std::string& LineAt(const Lines& lines, int64_t index) {
  static const std::string empty;
  return index >= 0 && index < static_cast<int64_t>(lines.size()) ? lines[index] : empty;
}

int64_t SlotLineIndex(int steps, int slot) {
  return PatternCellLines(steps) + 2 + 2 * (slot - 1);
}

}  // namespace

int64_t PatternCellLines(int steps) {
  return int64_t{kPatternColumns} * (int64_t{steps} + 3);
}

Lines BuildPatternLines(const PatternGrid& grid, int steps, PatternValues values,
                        SlotAccess& slots) {
  Lines lines;
  lines.reserve(static_cast<size_t>(PatternCellLines(steps)) + 2 + 2 * SlotAccess::kCount);
  for (int row = 0; row <= steps + 2; ++row)
    for (int col = 0; col < kPatternColumns; ++col) lines.push_back(grid.Cell(col, row));
  lines.push_back(std::to_string(values.tempoPosition));
  lines.push_back(std::to_string(values.loops));
  for (int n = 1; n <= SlotAccess::kCount; ++n) {
    lines.push_back(slots.FileName(n));
    lines.push_back(std::to_string(slots.Frequency(n)));
  }
  return lines;
}

PatternFileData ParsePatternLines(const Lines& lines, bool withSlots) {
  PatternFileData data;
  data.steps = ParseNumberLine(lines, 2);
  if (data.steps < 1) throw ELineError(3, EConvertError(LineAt(lines, 2)).Message());
  const int64_t cellLines = PatternCellLines(data.steps);
  // The tempo and loop lines must exist, so a length the file can't hold
  // fails here, before anything is allocated for it.
  data.values.tempoPosition = ClampTempoPosition(ParseNumberLine(lines, cellLines));
  data.values.loops = ClampLoopCount(ParseNumberLine(lines, cellLines + 1));
  data.cells.assign(lines.begin(), lines.begin() + cellLines);
  if (!withSlots) return data;
  for (int n = 1; n <= SlotAccess::kCount; ++n) {
    const int64_t at = SlotLineIndex(data.steps, n);
    if (at >= static_cast<int64_t>(lines.size())) break;
    const std::string& path = lines[at];
    if (FileNamePart(path) == SlotAccess::kBlankName) continue;
    data.slotLoads.push_back({n, path, ParseNumberLine(lines, at + 1)});
  }
  return data;
}

PatternFileData ReadPatternFile(const std::filesystem::path& path, bool withSlots) {
  const Lines lines = ReadTextLines(path);
  try {
    return ParsePatternLines(lines, withSlots);
  } catch (const ELineError& error) {
    throw error.InFile(path.filename().string());
  }
}

void PutPatternCells(const PatternFileData& data, PatternGrid& grid) {
  for (int row = 0; row <= data.steps + 2; ++row)
    for (int col = 0; col < kPatternColumns; ++col)
      grid.SetCell(col, row, data.cells[static_cast<size_t>(row) * kPatternColumns + col]);
}
