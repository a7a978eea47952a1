#pragma once
// The command line's song commands:
//   render SONG.sng|PATTERN.pat OUT.wav|OUT.flac [--loop] [--mono]
//   render SONG.sng|PATTERN.pat --stems DIR [--loop] [--mono]
//   midi SONG.sng|PATTERN.pat OUT.mid
//   collect SONG.sng DIR
// Each returns the exit code: 0 done, 1 failed (the message went to err),
// 2 wrong arguments (usage went to err).
#include <iosfwd>
#include <string>
#include <vector>

struct CommandStreams {
  std::ostream& out;
  std::ostream& err;
  bool outIsTerminal = false;
  const char* usage = "";
};

int RunRenderCommand(const std::vector<std::string>& args, const CommandStreams& io);
int RunMidiCommand(const std::vector<std::string>& args, const CommandStreams& io);
int RunCollectCommand(const std::vector<std::string>& args, const CommandStreams& io);
