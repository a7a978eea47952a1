#pragma once
// The windows' option "--audio jack|sdl": the sound output for this run,
// whatever Preferences keep.
#include <optional>
#include <string>

enum class AudioKind { Sdl, Jack };

struct AudioOptionResult {
  std::optional<AudioKind> kind;  // none: Preferences decide
  std::string error;              // set when the option is wrong
};

// Takes "--audio KIND" or "--audio=KIND" out of argv (argc shrinks) wherever
// it stands before a lone "--".
AudioOptionResult TakeAudioOption(int& argc, char** argv);
