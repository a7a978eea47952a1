#include "midi/MidiSystem.h"

std::string MidiSystemWord(MidiSystem api) {
  switch (api) {
    case MidiSystem::Alsa:
      return "alsa";
    case MidiSystem::Jack:
      return "jack";
    case MidiSystem::None:
      break;
  }
  return "none";
}

std::optional<MidiSystem> MidiSystemFromWord(const std::string& word) {
  for (const MidiSystem api : {MidiSystem::None, MidiSystem::Alsa, MidiSystem::Jack})
    if (MidiSystemWord(api) == word) return api;
  return std::nullopt;
}
