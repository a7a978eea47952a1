#include "pattern/PatternText.h"

#include <algorithm>

#include "common/Utf8.h"
#include "pattern/PatternFile.h"
#include "song/Tempo.h"

namespace {

// A chooser text is a name of ten characters and "[ ]".
constexpr size_t kCellWidth = 13;
constexpr int kChannels = 6;

const std::string& Cell(const PatternFileData& data, int column, int row) {
  return data.cells[static_cast<size_t>(row) * kPatternColumns + column];
}

std::string Padded(const std::string& text, size_t width) {
  return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

std::string WithoutTrailingBlanks(std::string line) {
  line.erase(line.find_last_not_of(' ') + 1);
  return line;
}

// Rows 1 (the channel heads) to L + 1 (the last step), columns 0 to 6.
std::string Grid(const PatternFileData& data) {
  std::vector<size_t> widths(kPatternColumns, kCellWidth);
  widths[0] = 4;  // "Step"
  for (int row = 1; row <= data.steps + 1; ++row)
    for (int column = 0; column <= kChannels; ++column)
      widths[column] = std::max(widths[column], Cell(data, column, row).size());
  std::string text;
  for (int row = 1; row <= data.steps + 1; ++row) {
    std::string line = Padded(row == 1 ? "Step" : Cell(data, 0, row), widths[0]);
    for (int column = 1; column <= kChannels; ++column)
      line += "  " + Padded(Cell(data, column, row), widths[column]);
    text += TerminalText(WithoutTrailingBlanks(line)) + "\n";
  }
  return text;
}

}  // namespace

std::string PatternAsText(const PatternFileData& data) {
  const int tempo = data.values.tempoPosition;
  std::string text =
      "Name:   " + TerminalText(Cell(data, 0, 0)) + "\n" + "Length: " + std::to_string(data.steps) +
      "\n" + "Time:   " + TerminalText(Cell(data, 4, 0)) + "\n" +
      "Tempo:  " + std::to_string(tempo) + " (" + TempoText(BeatsPerMinuteFor(tempo)) + " BPM)\n" +
      "Loops:  " + std::to_string(data.values.loops) + "\n";
  for (const SlotLoad& load : data.slotLoads)
    text += "Sample" + std::to_string(load.slot) + ": " + TerminalText(load.path) + " at " +
            std::to_string(load.frequency) + " Hz\n";
  return text + "\n" + Grid(data);
}
