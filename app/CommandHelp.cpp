#include "app/CommandHelp.h"

#include <sstream>

namespace {

const CommandHelpEntry kEntries[] = {
    {"render SONG.sng OUT.wav", false, "render a song's play list from its first entry"},
    {"render PATTERN.pat OUT.wav", false, "render one pattern, its loop count included"},
    {"OUT.flac", true, "writes FLAC (the same 16-bit samples) instead"},
    {"--stems DIR", true,
     "instead of OUT: one file per instrument into DIR,\n"
     "\"01 Kick.wav\" ..., each as long as the song"},
    {"--loop", true,
     "the file exactly the song's length, the sound\n"
     "ringing past the end added onto its start"},
    {"--mono", true, "one channel, the mean of the two"},
    {"midi SONG.sng|PATTERN.pat OUT.mid", false,
     "a Standard MIDI File: a drum track on channel 10"},
    {"collect SONG.sng DIR", false,
     "copy the song (under its own name), its patterns,\n"
     "the kit, Panning.dat, Blank.wav and its sample\n"
     "files into the empty or new folder DIR, a home\n"
     "that renders the same song"},
    {"kit list KIT.dxg", false, "list a kit's entries"},
    {"kit extract KIT.dxg DIR [--overwrite]", false,
     "write each instrument to DIR (\"01 Kick.wav\"...);\n"
     "files there of those names only with --overwrite"},
    {"kit build KIT.dxg [NAME=]FILE...", false,
     "build a kit from sound files as the kit maker does"},
    {"kit import SOURCE OUT.dxg", false,
     "import a Hydrogen drumkit (folder, drumkit.xml,\n"
     ".h2drumkit) or an .sfz file as a kit; its pans go\n"
     "into OUT-Panning.dat"},
    {"pattern show FILE.pat", false, "print a pattern's settings and grid"},
    {"--home DIR", false,
     "work in DIR, filled with the default kit and the\n"
     "demo content when it holds no kit"},
    {"--force", false,
     "open the windows even though Korvanto already\n"
     "runs in this home folder (this one then keeps no\n"
     "recovery files)"},
    {"--midi alsa|jack|none", false,
     "make the MIDI ports on the ALSA sequencer or JACK,\n"
     "or none, for this run (over Preferences' choice)"},
    {"--audio jack|sdl", false,
     "play through JACK or through SDL for this run,\n"
     "whatever Options > Preferences chose"},
    {"--help", false, "show this text"},
    {"--version", false, "show the version and the licence"},
};

const char* const kHead =
    "Usage: korvanto [--home DIR] [--force] [--midi API] [--audio jack|sdl]\n"
    "                [SONG.sng | COMMAND...]\n"
    "\n"
    "Without arguments Korvanto opens its windows; with a song file it opens\n"
    "that song on the play list.\n"
    "\n";

const char* const kTail =
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

// Explanations start in this column; a longer syntax stands on a line of its own.
constexpr std::size_t kTextColumn = 30;

void AppendEntry(std::ostringstream& text, const CommandHelpEntry& entry) {
  const std::string syntax = std::string(entry.refinesAbove ? "      " : "  ") + entry.syntax;
  std::istringstream lines(entry.what);
  std::string line;
  bool first = true;
  while (std::getline(lines, line)) {
    if (first && syntax.size() + 2 <= kTextColumn)
      text << syntax << std::string(kTextColumn - syntax.size(), ' ');
    else if (first)
      text << syntax << "\n" << std::string(kTextColumn, ' ');
    else
      text << std::string(kTextColumn, ' ');
    text << line << "\n";
    first = false;
  }
}

std::string BuildUsage() {
  std::ostringstream text;
  text << kHead;
  for (const CommandHelpEntry& entry : kEntries) AppendEntry(text, entry);
  text << kTail;
  return text.str();
}

}  // namespace

std::span<const CommandHelpEntry> CommandHelpEntries() {
  return kEntries;
}

const std::string& CommandLineUsage() {
  static const std::string usage = BuildUsage();
  return usage;
}
