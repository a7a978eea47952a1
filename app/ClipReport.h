#pragma once
// The command line's decode watch: a decoded sound file that clipped or
// ends before its header says says so on standard error.
#include <ostream>

#include "common/Files.h"
#include "kit/DecodeToWav.h"
#include "kit/DecodeWatch.h"

class ClipReport : public DecodeWatch {
 public:
  explicit ClipReport(std::ostream& err) : err_(err) {}
  void ShorterThanHeader(const std::filesystem::path& source) override {
    err_ << "korvanto: " << ShorterThanHeaderMessage(source) << "\n";
  }
  void Clipped(const std::filesystem::path& source, std::int64_t samples) override {
    err_ << "korvanto: " << DisplayPath(source) << ": " << samples
         << " samples lay beyond full scale and were clipped\n";
  }

 private:
  std::ostream& err_;
};
