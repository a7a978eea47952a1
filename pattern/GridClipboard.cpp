#include "pattern/GridClipboard.h"

#include <algorithm>

#include "common/Exception.h"
#include "kit/InstrumentTable.h"

namespace {
// Far more than the longest pattern's cells could take: a bound on what a
// pasted text allocates.
constexpr size_t kLongestText = 1 << 20;
constexpr char kNothingPasted[] = ": nothing was pasted.";

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      lines.back() += c;
      continue;
    }
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    lines.emplace_back();
  }
  if (lines.size() > 1 && lines.back().empty()) lines.pop_back();  // the last line's end
  return lines;
}

std::vector<std::string> SplitCells(const std::string& line) {
  std::vector<std::string> cells(1);
  for (char c : line) {
    if (c == '\t')
      cells.emplace_back();
    else
      cells.back() += c;
  }
  return cells;
}

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}
}  // namespace

bool IsInstrumentCellText(const std::string& text, const InstrumentTable& instruments) {
  if (text.empty()) return true;
  if (std::any_of(text.begin(), text.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }))
    return false;
  std::string name = text;
  if (name.size() > PatternGrid::kVolumeDigitIndex) {
    char& digit = name[PatternGrid::kVolumeDigitIndex];
    if (digit != ' ' && (digit < '1' || digit > '9')) return false;
    digit = ' ';
  }
  return instruments.IndexOf(name) >= 0;
}

std::string BlockText(const PatternGrid& grid, const GridRect& range) {
  std::string text;
  for (int row = range.top; row <= range.bottom; ++row) {
    for (int col = range.left; col <= range.right; ++col) {
      if (col > range.left) text += '\t';
      text += grid.Cell(col, row);
    }
    text += '\n';
  }
  return text;
}

CellBlock ParseBlock(const std::string& text, const InstrumentTable& instruments) {
  if (text.empty()) throw Exception("The clipboard holds no cells to paste.");
  if (text.size() > kLongestText)
    throw Exception("The clipboard holds far more text than a pattern's cells" +
                    std::string(kNothingPasted));
  CellBlock block;
  size_t width = 0;
  for (const std::string& line : SplitLines(text)) {
    block.rows.push_back(SplitCells(line));
    width = std::max(width, block.rows.back().size());
  }
  for (int row = 0; row < block.Height(); ++row) {
    auto& cells = block.rows[row];
    cells.resize(width);
    for (size_t col = 0; col < width; ++col)
      if (!IsInstrumentCellText(cells[col], instruments))
        throw Exception("Line " + std::to_string(row + 1) + ", cell " + std::to_string(col + 1) +
                        " of the clipboard, " + Quoted(cells[col]) +
                        ", is not an instrument of the chooser" + kNothingPasted);
  }
  return block;
}

void PasteBlock(PatternGrid& grid, const CellBlock& block) {
  const int col = grid.Col(), row = grid.Row();
  const int channelsLeft = PatternGrid::kColumns - col;
  const int stepsLeft = grid.RowCount() - row;
  if (block.Width() > channelsLeft)
    throw Exception("The clipboard holds " + std::to_string(block.Width()) +
                    " cells a line; from channel " + std::to_string(col) + " only " +
                    std::to_string(channelsLeft) + " fit" + kNothingPasted);
  if (block.Height() > stepsLeft)
    throw Exception("The clipboard holds " + std::to_string(block.Height()) + " lines; from step " +
                    std::to_string(row - PatternGrid::kFirstStepRow + 1) + " on, the pattern has " +
                    std::to_string(stepsLeft) + " steps" + kNothingPasted);
  for (int r = 0; r < block.Height(); ++r)
    for (int c = 0; c < block.Width(); ++c) grid.SetCell(col + c, row + r, block.rows[r][c]);
  grid.SelectRange(col, row, col + block.Width() - 1, row + block.Height() - 1);
}

void DuplicateSelectedRows(PatternGrid& grid) {
  const GridRect selected = grid.Selection();
  const int lastRow = grid.RowCount() - 1;
  if (selected.bottom >= lastRow)
    throw Exception(
        "The selected steps end the pattern: there is no room after them to "
        "duplicate them.");
  const int height = selected.bottom - selected.top + 1;
  const int copies = std::min(height, lastRow - selected.bottom);
  for (int r = 0; r < copies; ++r)
    for (int col = 1; col < PatternGrid::kColumns; ++col)
      grid.SetCell(col, selected.bottom + 1 + r, grid.Cell(col, selected.top + r));
  grid.SetCurrent(selected.left, selected.bottom + 1);
  grid.SelectRange(selected.left, selected.bottom + 1, selected.right, selected.bottom + copies);
}
