#pragma once
// The program's command line: "render" turns a song or a pattern into a WAV
// or FLAC file or stems, "midi" into a MIDI file, "collect" copies a song
// with everything it needs into one folder, all without opening a window;
// "kit" lists, extracts and builds kits, "pattern show" prints a pattern;
// "--help" and "--version". Anything else is left to the windows.
#include <iosfwd>
#include <string>
#include <vector>

// Runs a command-line command. handled is false when the arguments ask for
// no such command, and the program then starts its windows; otherwise the
// result is the exit code: 0 done, 1 failed (the message went to err),
// 2 wrong arguments.
int RunCommandLine(int argc, char** argv, bool& handled);
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool outIsTerminal, bool& handled);

// Takes the windows' option "--force" out of argv (argc shrinks): only from
// the front when leadingOnly (a command may follow), else wherever it stands.
// True when it was there.
bool TakeForceOption(int& argc, char** argv, bool leadingOnly);
