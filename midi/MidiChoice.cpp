#include "midi/MidiChoice.h"

#include <string_view>

namespace {
std::optional<MidiSystem>& RunApi() {
  static std::optional<MidiSystem> api;
  return api;
}
}  // namespace

MidiOption TakeMidiOption(int& argc, char** argv, std::string& error) {
  MidiOption option;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    std::optional<std::string> value;
    if (arg == "--midi") {
      value = i + 1 < argc ? argv[++i] : "";
    } else if (arg.starts_with("--midi=")) {
      value = std::string(arg.substr(7));
    } else {
      argv[kept++] = argv[i];
      continue;
    }
    option.api = MidiSystemFromWord(*value);
    if (!option.api) {
      error = "--midi takes alsa, jack or none, not '" + *value + "'";
      option.ok = false;
    }
  }
  if (kept < argc) argv[kept] = nullptr;
  argc = kept;
  return option;
}

void SetMidiSystemForThisRun(std::optional<MidiSystem> api) {
  RunApi() = api;
}

std::optional<MidiSystem> MidiSystemForThisRun() {
  return RunApi();
}
