#include "kit/PanningTable.h"

#include "common/Exception.h"
#include "common/Files.h"
#include "common/Text.h"

namespace fs = std::filesystem;

void PanningTable::Read(const fs::path& path) {
  values_.clear();
  problems_.clear();
  const Lines lines = ReadTextLines(path);
  for (int i = 0; i < kLines; ++i) {
    const std::string text = i < static_cast<int>(lines.size()) ? lines[i] : "";
    try {
      values_.push_back(ParseWholeNumber(text));
    } catch (const EConvertError& error) {
      values_.push_back(std::nullopt);
      if (i > 0) problems_.push_back(error.Message());  // line 0 is never applied
    }
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
