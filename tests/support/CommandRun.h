#pragma once
// Runs the program's command line as main() would, catching what it prints.
#include <sstream>
#include <string>
#include <vector>

#include "app/CommandLine.h"

struct CommandRun {
  int code = 0;
  bool handled = false;
  std::string out, err;
};

inline CommandRun RunKorvanto(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  CommandRun run;
  run.code = RunCommandLine(args, out, err, false, run.handled);
  run.out = out.str();
  run.err = err.str();
  return run;
}
