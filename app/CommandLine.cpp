#include "app/CommandLine.h"

#include <unistd.h>

#include <iostream>
#include <string_view>
#include <utility>

#include "app/CommandHelp.h"
#include "app/CommandSignals.h"
#include "app/ExportCommands.h"
#include "app/KitCommand.h"
#include "app/Licence.h"
#include "app/PatternCommand.h"

#ifndef KORVANTO_VERSION
#define KORVANTO_VERSION "unknown"
#endif

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool outIsTerminal, bool& handled) {
  handled = false;
  if (args.empty()) return 0;
  const std::string& command = args[0];
  if (command == "--help" || command == "-h") {
    handled = true;
    out << CommandLineUsage();
    return 0;
  }
  if (command == "--version") {
    handled = true;
    out << "Korvanto " << KORVANTO_VERSION << "\n" << kLicenceNotice;
    return 0;
  }
  if (command == "kit" || command == "pattern") {
    handled = true;
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    return command == "kit" ? RunKitCommand(rest, out, err) : RunPatternCommand(rest, out, err);
  }
  using Command = int (*)(const std::vector<std::string>&, const CommandStreams&);
  const std::pair<const char*, Command> commands[] = {
      {"render", RunRenderCommand},
      {"midi", RunMidiCommand},
      {"collect", RunCollectCommand},
  };
  for (const auto& [name, run] : commands)
    if (command == name) {
      handled = true;
      return run(args, {out, err, outIsTerminal, CommandLineUsage().c_str()});
    }
  return 0;
}

int RunCommandLine(int argc, char** argv, bool& handled) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  const char* const working[] = {"render", "midi", "collect", "kit"};
  for (const char* command : working)
    if (!args.empty() && args[0] == command) RemoveWorkOnSignals();
  return RunCommandLine(args, std::cout, std::cerr, ::isatty(STDOUT_FILENO) == 1, handled);
}

bool TakeForceOption(int& argc, char** argv, bool leadingOnly) {
  bool taken = false;
  int kept = 1;
  bool leading = true;
  for (int i = 1; i < argc; ++i) {
    const bool force = std::string_view(argv[i]) == "--force" && (leading || !leadingOnly);
    leading = leading && force;
    if (force)
      taken = true;
    else
      argv[kept++] = argv[i];
  }
  if (kept < argc) argv[kept] = nullptr;
  argc = kept;
  return taken;
}
