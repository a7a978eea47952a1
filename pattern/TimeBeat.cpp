#include "pattern/TimeBeat.h"

const std::vector<std::string>& TimeBarEntries() {
  static const std::vector<std::string> entries = {
      "16 | 4",  "16 | 8",  "16 | 16", "8  | 8",  "8  | 4",  "8  | 2",  "4  | 4",  "4  | 2 ",
      "12 | 4 ", "24 | 4 ", "24 | 8 ", "32 | 16", "32 | 8 ", "32 | 4 ", "64 | 32", "64 | 16",
      "64 | 8 ", "64 | 4 ", "3  | 3 ", "9  | 3 ", "12 | 3 ", "15 | 3 ", "7  | 4",  "7  | 7"};
  return entries;
}

namespace {
// Keeps only the first character when the second is a blank.
std::string TrimAtSecondBlank(std::string text) {
  if (text.size() >= 2 && text[1] == ' ') text.resize(1);
  return text;
}
}  // namespace

std::string TimeBarTextFor(const std::string& length, const std::string& time) {
  for (const std::string& entry : TimeBarEntries()) {
    PendingTimeBeat parsed;
    ParseTimeBar(entry, parsed);
    if (parsed.length == length && parsed.time == time) return entry;
  }
  return (length.size() < 2 ? length + " " : length) + " | " + time;
}

void ParseTimeBar(const std::string& text, PendingTimeBeat& pending) {
  if (text.empty()) return;
  // Characters 3 to 8 removed: the first two and whatever follows the eighth.
  std::string length = text.substr(0, 2) + (text.size() > 8 ? text.substr(8) : "");
  pending.length = TrimAtSecondBlank(length);
  pending.time = TrimAtSecondBlank(text.size() > 5 ? text.substr(5) : "");
}
