#pragma once
// The command line's commands and options, one table: "--help" is built from
// it, and the manual page and the README are checked against it.
#include <span>
#include <string>

struct CommandHelpEntry {
  const char* syntax;  // as the user types it: "render SONG.sng OUT.wav"
  bool refinesAbove;   // an output form or option of the command above it
  const char* what;    // lines of explanation, '\n' between them
};

std::span<const CommandHelpEntry> CommandHelpEntries();

// The whole "--help" text.
const std::string& CommandLineUsage();
