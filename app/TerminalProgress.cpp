#include "app/TerminalProgress.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

void TerminalBar::Begin(std::int64_t total) {
  total_ = total;
  Draw(0);
}

void TerminalBar::Advance(std::int64_t done) {
  Draw(total_ > 0 ? static_cast<int>(done * 100 / total_) : 100);
}

void TerminalBar::End() {
  if (drawn_) out_ << "\n" << std::flush;
}

void TerminalBar::Draw(int percent) {
  if (percent == percent_) return;
  percent_ = percent;
  constexpr int kWidth = 40;
  const int filled = percent * kWidth / 100;
  out_ << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, '.') << "] "
       << (percent < 10    ? "  "
           : percent < 100 ? " "
                           : "")
       << percent << "% " << adding_
       << std::string(pad_ > adding_.size() ? pad_ - adding_.size() : 0, ' ') << std::flush;
  pad_ = std::max(pad_, adding_.size());
  drawn_ = true;
}

std::string Duration(std::int64_t frames) {
  const std::int64_t tenths = (frames + 2205) / 4410;
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld.%lld", static_cast<long long>(tenths / 600),
                static_cast<long long>(tenths / 10 % 60), static_cast<long long>(tenths % 10));
  return text;
}
