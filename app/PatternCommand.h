#pragma once
// "korvanto pattern show FILE.pat": a pattern file as text.
#include <iosfwd>
#include <string>
#include <vector>

// args: the words after "pattern". Returns 0 when done, 1 when the file
// can't be read (the message went to err), 2 for wrong arguments.
int RunPatternCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
