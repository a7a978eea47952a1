#include "app/CommandLine.h"

#include <unistd.h>

#include <iostream>
#include <utility>

#include "app/ExportCommands.h"

#ifndef KORVANTO_VERSION
#define KORVANTO_VERSION "unknown"
#endif

namespace {

const char* const kUsage =
    "Usage: korvanto [SONG.sng | --help | --version | COMMAND ...]\n"
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
    "  --help                      show this text\n"
    "  --version                   show the version\n"
    "\n"
    "Run it in the home folder: the kit power.dxg, Panning.dat, Blank.wav, the\n"
    "temp folder and the song's patterns are read there; the kit's and the\n"
    "slots' sounds are written to temp/ while rendering. Exit codes: 0 done,\n"
    "1 failed (the message goes to standard error), 2 wrong arguments.\n";

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
  return RunCommandLine(args, std::cout, std::cerr, ::isatty(STDOUT_FILENO) == 1, handled);
}
