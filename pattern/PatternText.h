#pragma once
// A pattern file as text for a terminal or a diff: its name, length, time,
// tempo, loop count and the sample slots it names, then the grid as the
// window shows it, steps down and the six channels across.
#include <string>

struct PatternFileData;

std::string PatternAsText(const PatternFileData& data);
