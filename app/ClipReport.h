#pragma once
// The command line's decode watch: a decoded sound file that clipped says so
// on standard error.
#include <ostream>

#include "common/Files.h"
#include "kit/DecodeWatch.h"

class ClipReport : public DecodeWatch {
 public:
  explicit ClipReport(std::ostream& err) : err_(err) {}
  void Clipped(const std::filesystem::path& source, std::int64_t samples) override {
    err_ << "korvanto: " << DisplayPath(source) << ": " << samples
         << " samples lay beyond full scale and were clipped\n";
  }

 private:
  std::ostream& err_;
};
