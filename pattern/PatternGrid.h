#pragma once
// The pattern being edited: text cells by (column, row), the shown row count,
// the current cell and the selection, with every editing rule of the step grid.
//
// Row 0 holds the name, "Length:" L, "Time:" T; row 1 the channel heads;
// rows 2..L+1 the steps (column 0 the label, columns 1..6 the channels);
// row L+2 is the spare row. Cells beyond the shown rows are kept.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "pattern/GridEdit.h"

struct GridRect {
  int left = 1, top = 2, right = 1, bottom = 2;
  bool operator==(const GridRect&) const = default;
};

class PatternGrid {
 public:
  static constexpr int kColumns = 7;
  static constexpr int kChannels = 6;
  static constexpr int kFirstStepRow = 2;
  static constexpr int kLastClearedRow = 66;  // 64 steps and the spare row
  static constexpr int kVolumeDigitIndex = 11;
  // The longest pattern a user can ask for: far beyond any real one, and a
  // bound on what a typed length allocates.
  static constexpr int kMaxSteps = 999;

  PatternGrid();

  const std::string& Cell(int col, int row) const;
  void SetCell(int col, int row, std::string text);
  // Rows that hold cells, shown or not.
  int StoredRows() const { return static_cast<int>(rows_.size()); }

  int RowCount() const { return rowCount_; }
  void SetRowCount(int rows);

  int Col() const { return col_; }
  int Row() const { return row_; }
  // Moves the current cell and collapses the selection onto it. Cells outside
  // the editable area (label column, header rows, hidden rows) are refused.
  bool SetCurrent(int col, int row);
  const GridRect& Selection() const { return selection_; }
  // A range between two cells; the current cell stays where it is.
  void SelectRange(int col1, int row1, int col2, int row2);
  bool IsEditable(int col, int row) const;

  // The integer in cell (2,0); EConvertError when it isn't one.
  int StepCount() const;

  // Texts a user typed (the chooser's, the name box's) lose their control
  // characters on the way in: a cell or name never holds a line break.
  //
  // Fills the current cell with the chooser text, or empties it when it holds
  // exactly that text. Returns whether the cell was filled.
  bool Toggle(const std::string& chooserText);
  // Right click: the volume digit goes up by one, 9 wraps to 1.
  void StepVolume();
  // A typed character: digits 1..9 set the volume digit, then the cell jump.
  void TypeDigit(char digit, const std::string& chooserText, int cellJump);
  // The name cell (0,0), from the name box.
  void SetName(const std::string& name);
  // Empties every cell of the selection.
  void DeleteSelection();
  // Empties the instrument cells of every step and the name cell.
  void ClearPattern();

  // A new pattern's header: "Length:" L, "Time:" T, L + 2 shown rows, labels
  // and channel heads.
  void WriteNewPattern(int steps, int time);
  // Applies a length and a time: header cells, shown rows, step labels and
  // channel heads. Instrument cells are left alone. Both are checked before
  // anything changes: EConvertError for a text that isn't a whole number of
  // 1 or more, an Exception for a length beyond kMaxSteps.
  void ApplyLengthAndTime(const std::string& length, const std::string& time);
  void WriteStepLabels(int steps, int time);
  void WriteChannelHeads();

  // Runs an operation and returns what it changed, for undo. An operation
  // that raises changes nothing it hasn't reported: the error goes on.
  GridEdit Record(const std::function<void()>& operation);
  // Puts one side of an edit back: its "before" side to undo, "after" to redo.
  void Apply(const GridEdit& edit, bool undo);

 private:
  std::array<std::string, kColumns>& RowCells(int row);
  void ClampCurrentToShown();

  std::vector<std::array<std::string, kColumns>> rows_;
  GridEdit* recording_ = nullptr;
  int rowCount_ = 18;
  int col_ = 1;
  int row_ = 2;
  GridRect selection_;
};

// Label of step n (1-based) with beat counter q: "n:q", with "*" when q is 0.
std::vector<std::string> StepLabels(int count, int time);

// The loop count never goes below 1.
int ClampLoopCount(int loops);
