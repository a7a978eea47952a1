#include "app/PatternCommand.h"

#include <ostream>

#include "pattern/PatternFile.h"
#include "pattern/PatternText.h"

int RunPatternCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2 || args[0] != "show") {
    err << "Usage: korvanto pattern show FILE.pat\n";
    return 2;
  }
  try {
    out << PatternAsText(ReadPatternFile(args[1], true));
    return 0;
  } catch (const std::exception& error) {
    err << "korvanto: " << error.what() << "\n";
    return 1;
  }
}
