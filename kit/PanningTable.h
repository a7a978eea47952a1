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
  // missing or not whole numbers read as absent; the file gets one message.
  void Read(const std::filesystem::path& path);
  // The value read for a line, if there was a good one.
  std::optional<int> Value(int line) const;
  // What was wrong with the file, in one message: too few lines, or the
  // first of lines 1 to 16 that wasn't a whole number.
  const std::optional<std::string>& Problem() const { return problem_; }

  static void Write(const std::filesystem::path& path, const std::vector<int>& values);

 private:
  std::vector<std::optional<int>> values_;
  std::optional<std::string> problem_;
};
