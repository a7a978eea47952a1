#include "app/CommandLine.h"

#include <unistd.h>

#include <iostream>
#include <string_view>
#include <utility>

#include "app/CommandSignals.h"
#include "app/ExportCommands.h"
#include "app/KitCommand.h"
#include "app/PatternCommand.h"

#ifndef KORVANTO_VERSION
#define KORVANTO_VERSION "unknown"
#endif

namespace {

const char* const kUsage =
    "Usage: korvanto [--home DIR] [--force] [SONG.sng | COMMAND...]\n"
    "\n"
    "Without arguments Korvanto opens its windows; with a song file it opens\n"
    "that song on the play list.\n"
    "\n"
    "  render SONG.sng OUT.wav     render a song's play list from its first entry\n"
    "  render PATTERN.pat OUT.wav  render one pattern, its loop count included\n"
    "      OUT.flac                writes FLAC (the same 16-bit samples) instead\n"
    "      --stems DIR             instead of OUT: one file per instrument into DIR,\n"
    "                              \"01 Kick.wav\" ..., each as long as the song\n"
    "      --loop                  the file exactly the song's length, the sound\n"
    "                              ringing past the end added onto its start\n"
    "      --mono                  one channel, the mean of the two\n"
    "  midi SONG.sng|PATTERN.pat OUT.mid\n"
    "                              a Standard MIDI File: a drum track on channel 10\n"
    "  collect SONG.sng DIR        copy the song, its patterns, the kit, Panning.dat,\n"
    "                              Blank.wav and its sample files into the empty or\n"
    "                              new folder DIR, a home that renders the same song\n"
    "  kit list KIT.dxg            list a kit's entries\n"
    "  kit extract KIT.dxg DIR [--overwrite]\n"
    "                              write each instrument to DIR (\"01 Kick.wav\"...);\n"
    "                              files there of those names only with --overwrite\n"
    "  kit build KIT.dxg [NAME=]FILE...\n"
    "                              build a kit from sound files, as the kit maker does\n"
    "  pattern show FILE.pat       print a pattern's settings and grid\n"
    "  --home DIR                  work in DIR, filled with the default kit and the\n"
    "                              demo content when it holds no kit\n"
    "  --force                     open the windows even though Korvanto already\n"
    "                              runs in this home folder (this one then keeps no\n"
    "                              recovery files)\n"
    "  --help                      show this text\n"
    "  --version                   show the version\n"
    "\n"
    "Commands run in the home folder: the kit power.dxg, Panning.dat, Blank.wav\n"
    "and the song's patterns are read there; the kit's and the slots' sounds are\n"
    "written to a folder of the command's own under temp/, removed at its end. An\n"
    "output never replaces a file the command reads, the home's songs, patterns,\n"
    "kits, Panning.dat or Blank.wav, or anything in temp/. The windows' home is the\n"
    "current folder when it holds power.dxg, else the song's folder, else\n"
    "$XDG_DATA_HOME/korvanto (~/.local/share/korvanto), filled the first time.\n"
    "Exit codes: 0 done, 1 failed (the message goes to standard error), 2 wrong\n"
    "arguments. The windows end with 0, also on SIGTERM, SIGINT or SIGHUP, and\n"
    "with 1 when Korvanto already runs in the home folder.\n";

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool outIsTerminal, bool& handled) {
  handled = false;
  if (args.empty()) return 0;
  const std::string& command = args[0];
  if (command == "--help" || command == "-h") {
    handled = true;
    out << kUsage;
    return 0;
  }
  if (command == "--version") {
    handled = true;
    out << "Korvanto " << KORVANTO_VERSION << "\n";
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
      return run(args, {out, err, outIsTerminal, kUsage});
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
