#include "kit/PanningTable.h"

#include "common/Exception.h"
#include "common/Files.h"
#include "common/Text.h"

namespace fs = std::filesystem;

void PanningTable::Read(const fs::path& path) {
  values_.clear();
  problem_.reset();
  const Lines lines = ReadTextLines(path);
  std::vector<ELineError> bad;
  for (int i = 0; i < kLines; ++i) {
    try {
      values_.push_back(ParseNumberLine(lines, i));
    } catch (const ELineError& error) {
      values_.push_back(std::nullopt);
      if (i > 0) bad.push_back(error);  // line 0 is never applied
    }
  }
  const std::string file = path.filename().string();
  if (lines.size() < kLines) {
    problem_ = file + " has " + std::to_string(lines.size()) + " of its " + std::to_string(kLines) +
               " lines; the instruments without a good line keep a pan of 0.";
  } else if (!bad.empty()) {
    problem_ = bad.front().InFile(file).Message();
    if (bad.size() > 1) problem_ = *problem_ + " (and " + std::to_string(bad.size() - 1) + " more)";
  }
}

std::optional<int> PanningTable::Value(int line) const {
  if (line < 0 || line >= static_cast<int>(values_.size())) return std::nullopt;
  return values_[line];
}

void PanningTable::Write(const fs::path& path, const std::vector<int>& values) {
  Lines lines;
  for (int value : values) lines.push_back(std::to_string(value));
  WriteTextLines(path, lines);
}
