#include "app/AudioOption.h"

#include <string_view>

namespace {

std::optional<AudioKind> KindOf(std::string_view text) {
  if (text == "jack") return AudioKind::Jack;
  if (text == "sdl") return AudioKind::Sdl;
  return std::nullopt;
}

}  // namespace

AudioOptionResult TakeAudioOption(int& argc, char** argv) {
  AudioOptionResult result;
  int kept = 1;
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--") options = false;
    std::string_view value;
    if (options && arg == "--audio") {
      if (i + 1 >= argc) {
        result.error = "--audio needs jack or sdl";
        continue;
      }
      value = argv[++i];
    } else if (options && arg.starts_with("--audio=")) {
      value = arg.substr(8);
    } else {
      argv[kept++] = argv[i];
      continue;
    }
    result.kind = KindOf(value);
    if (!result.kind)
      result.error = "--audio takes jack or sdl, not \"" + std::string(value) + "\"";
  }
  if (kept < argc) argv[kept] = nullptr;
  argc = kept;
  return result;
}
