#include "pattern/PatternGrid.h"

#include <algorithm>

#include "common/Exception.h"
#include "common/Text.h"

namespace {
const std::string kEmpty;

int VolumeLevel(char digit) {
  if (digit == ' ') return 1;
  return ParseWholeNumber(std::string(1, digit));
}
}  // namespace

PatternGrid::PatternGrid() : rows_(19) {}

const std::string& PatternGrid::Cell(int col, int row) const {
  if (col < 0 || col >= kColumns || row < 0 || row >= StoredRows()) return kEmpty;
  return rows_[row][col];
}

std::array<std::string, PatternGrid::kColumns>& PatternGrid::RowCells(int row) {
  if (row >= StoredRows()) rows_.resize(row + 1);
  return rows_[row];
}

void PatternGrid::SetCell(int col, int row, std::string text) {
  if (col < 0 || col >= kColumns || row < 0) return;
  if (text.empty() && row >= StoredRows()) return;
  if (recording_ && Cell(col, row) != text)
    recording_->Absorb({{{col, row, Cell(col, row), text}}, rowCount_, rowCount_});
  RowCells(row)[col] = std::move(text);
}

void PatternGrid::SetRowCount(int rows) {
  rowCount_ = std::max(rows, kFirstStepRow + 1);
  if (recording_) recording_->rowsAfter = rowCount_;
  ClampCurrentToShown();
}

GridEdit PatternGrid::Record(const std::function<void()>& operation) {
  GridEdit edit;
  edit.rowsBefore = edit.rowsAfter = rowCount_;
  recording_ = &edit;
  struct Stop {
    GridEdit*& recording;
    ~Stop() { recording = nullptr; }
  } stop{recording_};
  operation();
  return edit;
}

void PatternGrid::Apply(const GridEdit& edit, bool undo) {
  for (const GridEdit::Cell& cell : edit.cells)
    SetCell(cell.col, cell.row, undo ? cell.before : cell.after);
  SetRowCount(undo ? edit.rowsBefore : edit.rowsAfter);
}

void PatternGrid::ClampCurrentToShown() {
  const int lastRow = rowCount_ - 1;
  if (row_ > lastRow) SetCurrent(col_, lastRow);
  selection_.top = std::min(selection_.top, lastRow);
  selection_.bottom = std::min(selection_.bottom, lastRow);
}

bool PatternGrid::IsEditable(int col, int row) const {
  return col >= 1 && col < kColumns && row >= kFirstStepRow && row < rowCount_;
}

bool PatternGrid::SetCurrent(int col, int row) {
  if (!IsEditable(col, row)) return false;
  col_ = col;
  row_ = row;
  selection_ = {col, row, col, row};
  return true;
}

void PatternGrid::SelectRange(int col1, int row1, int col2, int row2) {
  auto clampCol = [](int c) { return std::clamp(c, 1, kColumns - 1); };
  auto clampRow = [this](int r) { return std::clamp(r, kFirstStepRow, rowCount_ - 1); };
  selection_ = {clampCol(std::min(col1, col2)), clampRow(std::min(row1, row2)),
                clampCol(std::max(col1, col2)), clampRow(std::max(row1, row2))};
}

int PatternGrid::StepCount() const {
  return ParseWholeNumber(Cell(2, 0));
}

bool PatternGrid::Toggle(const std::string& typed) {
  const std::string chooserText = WithoutControlCharacters(typed);
  if (Cell(col_, row_) == chooserText) {
    SetCell(col_, row_, "");
    return false;
  }
  SetCell(col_, row_, chooserText);
  return !chooserText.empty();
}

void PatternGrid::StepVolume() {
  std::string text = Cell(col_, row_);
  if (text.size() <= kVolumeDigitIndex) return;
  int level = VolumeLevel(text[kVolumeDigitIndex]) + 1;
  if (level > 9) level = 1;
  text[kVolumeDigitIndex] = static_cast<char>('0' + level);
  SetCell(col_, row_, std::move(text));
}

void PatternGrid::TypeDigit(char digit, const std::string& chooserText, int cellJump) {
  if (digit < '1' || digit > '9') return;
  if (Cell(col_, row_).empty()) SetCell(col_, row_, WithoutControlCharacters(chooserText));
  std::string text = Cell(col_, row_);
  if (text.size() <= kVolumeDigitIndex) return;
  text[kVolumeDigitIndex] = digit;
  SetCell(col_, row_, std::move(text));
  if (row_ + cellJump < rowCount_) SetCurrent(col_, row_ + cellJump);
}

void PatternGrid::SetName(const std::string& name) {
  SetCell(0, 0, WithoutControlCharacters(name));
}

void PatternGrid::DeleteSelection() {
  for (int row = selection_.top; row <= selection_.bottom; ++row)
    for (int col = selection_.left; col <= selection_.right; ++col) SetCell(col, row, "");
}

void PatternGrid::ClearPattern() {
  // Steps longer than 64 can only come from typed lengths; their rows go too.
  const int lastRow = std::max(kLastClearedRow, rowCount_ - 1);
  for (int row = kFirstStepRow; row <= lastRow; ++row)
    for (int col = 1; col < kColumns; ++col) SetCell(col, row, "");
  SetCell(0, 0, "");
}

void PatternGrid::ApplyLengthAndTime(const std::string& length, const std::string& time) {
  const int steps = ParseWholeNumber(length);
  const int beats = ParseWholeNumber(time);
  if (steps < 1 || beats < 1) throw EConvertError(steps < 1 ? length : time);
  if (steps > kMaxSteps)
    throw Exception("A pattern has at most " + std::to_string(kMaxSteps) + " steps, not " +
                    std::to_string(steps));
  SetCell(2, 0, length);
  SetCell(4, 0, time);
  SetRowCount(steps + 2);
  WriteStepLabels(steps, beats);
  WriteChannelHeads();
}

void PatternGrid::WriteNewPattern(int steps, int time) {
  SetCell(1, 0, "Length:");
  SetCell(2, 0, std::to_string(steps));
  SetCell(3, 0, "Time:");
  SetCell(4, 0, std::to_string(time));
  SetRowCount(steps + 2);
  WriteStepLabels(steps, time);
  WriteChannelHeads();
}

void PatternGrid::WriteStepLabels(int steps, int time) {
  // The spare row after the last step gets a label too.
  const auto labels = StepLabels(steps + 1, time);
  for (int i = 0; i < static_cast<int>(labels.size()); ++i)
    SetCell(0, kFirstStepRow + i, labels[i]);
}

void PatternGrid::WriteChannelHeads() {
  for (int ch = 1; ch <= kChannels; ++ch) SetCell(ch, 1, "Channel:" + std::to_string(ch));
}

std::vector<std::string> StepLabels(int count, int time) {
  std::vector<std::string> labels;
  int beat = 0;
  for (int step = 1; step <= count; ++step) {
    if (beat > time - 1) beat = 0;
    labels.push_back(std::to_string(step) + ":" + std::to_string(beat) + (beat == 0 ? "*" : ""));
    ++beat;
  }
  return labels;
}

int ClampLoopCount(int loops) {
  return loops < 1 ? 1 : loops;
}
