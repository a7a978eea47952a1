#pragma once
// The time/beat selector: its entries and the positional parse of its text.
#include <string>
#include <vector>

struct PendingTimeBeat {
  std::string length;  // step count, not yet applied
  std::string time;    // beats per group, not yet applied
};

const std::vector<std::string>& TimeBarEntries();

// Reads the selector's text by position: the length from the first two
// characters, the time from the sixth on; a blank second character keeps only
// the first. Empty text changes nothing.
void ParseTimeBar(const std::string& text, PendingTimeBeat& pending);

// What the selector shows for a pattern's length and time: its entry when it
// has one ("16 | 4"), else the two in its layout.
std::string TimeBarTextFor(const std::string& length, const std::string& time);
