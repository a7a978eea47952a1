#pragma once
// "Panning.dat": the pans of the instrument chooser's first 17 items.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The panning table: 17 lines, the pans of chooser entries 0 to 16.
class PanningTable {
 public:
  static constexpr int kLines = 17;

  // Reads the table. A missing file raises the open error. Lines that are
  // missing or not whole numbers read as absent; their messages are kept.
  void Read(const std::filesystem::path& path);
  // The value read for a line, if there was a good one.
  std::optional<int> Value(int line) const;
  // Conversion messages of lines 1 to 16 that were not whole numbers.
  const std::vector<std::string>& Problems() const { return problems_; }

  static void Write(const std::filesystem::path& path, const std::vector<int>& values);

 private:
  std::vector<std::optional<int>> values_;
  std::vector<std::string> problems_;
};
