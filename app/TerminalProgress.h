#pragma once
// What the command line shows while it works: a progress bar on a terminal
// and song lengths.
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>

#include "render/RenderProgress.h"

// A bar on a terminal, redrawn when it moves by a percent.
class TerminalBar : public RenderProgress {
 public:
  explicit TerminalBar(std::ostream& out) : out_(out) {}
  void Begin(std::int64_t total) override;
  void Advance(std::int64_t done) override;
  // Shown at the next move of the bar: names change far more often.
  void Adding(const std::string& text) override { adding_ = text; }
  void End() override;

 private:
  // The bar, the percentage and the instrument being added.
  void Draw(int percent);

  std::ostream& out_;
  std::int64_t total_ = 0;
  int percent_ = -1;
  bool drawn_ = false;
  std::string adding_;
  std::size_t pad_ = 0;  // clears a longer name drawn before
};

// "0:42.4": minutes, seconds and tenths of 44100 Hz frames.
std::string Duration(std::int64_t frames);
