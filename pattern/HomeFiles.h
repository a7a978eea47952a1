#pragma once
// Files the main window keeps in its home folder at start-up and close.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The 32 sample slots' work files: temp/sample1.wav .. temp/sample32.wav.
std::filesystem::path SampleWorkFile(const std::filesystem::path& home, int slot);

// Deletes the 32 work files and copies "Blank.wav" over each. Never fails:
// a missing "Blank.wav" or temp folder leaves the files as they are.
void ResetSampleWorkFiles(const std::filesystem::path& home);

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
