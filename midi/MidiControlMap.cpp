#include "midi/MidiControlMap.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "song/Tempo.h"

namespace {

struct ActionNames {
  const char* title;
  const char* key;
};
constexpr std::array<ActionNames, kMidiActions> kNames = {{
    {"Play pattern", "play-pattern"},
    {"Play song", "play-song"},
    {"Stop", "stop"},
    {"Record", "record"},
    {"Next play-list entry", "next-entry"},
    {"Previous play-list entry", "previous-entry"},
    {"Tempo", "tempo"},
}};

}  // namespace

const char* MidiActionTitle(MidiAction action) {
  return kNames[static_cast<std::size_t>(action)].title;
}

const char* MidiActionKey(MidiAction action) {
  return kNames[static_cast<std::size_t>(action)].key;
}

uint32_t MidiTrigger::Packed() const {
  if (kind == Kind::None) return 0;
  return static_cast<uint32_t>(kind) << 16 | uint32_t{channel} << 8 | number;
}

MidiTrigger MidiTrigger::Unpacked(uint32_t packed) {
  const uint32_t kind = packed >> 16;
  if (kind != 1 && kind != 2) return {};
  return {static_cast<Kind>(kind), static_cast<uint8_t>(packed >> 8 & 0x0F),
          static_cast<uint8_t>(packed & 0x7F)};
}

std::string MidiTriggerText(const MidiTrigger& trigger) {
  if (trigger.kind == MidiTrigger::Kind::None) return "(none)";
  const char* kind = trigger.kind == MidiTrigger::Kind::Note ? "Note " : "CC ";
  return kind + std::to_string(trigger.number) + ", channel " + std::to_string(trigger.channel + 1);
}

void MidiControlMap::Set(MidiAction action, const MidiTrigger& trigger) {
  if (trigger.kind != MidiTrigger::Kind::None)
    for (MidiTrigger& other : triggers_)
      if (other == trigger) other = {};
  triggers_[static_cast<std::size_t>(action)] = trigger;
}

std::optional<MidiAction> MidiControlMap::ActionOf(const MidiTrigger& trigger) const {
  if (trigger.kind == MidiTrigger::Kind::None) return std::nullopt;
  for (int i = 0; i < kMidiActions; ++i)
    if (triggers_[static_cast<std::size_t>(i)] == trigger) return static_cast<MidiAction>(i);
  return std::nullopt;
}

std::string MidiControlMapText(const MidiControlMap& map) {
  std::string text;
  for (int i = 0; i < kMidiActions; ++i) {
    const auto action = static_cast<MidiAction>(i);
    const MidiTrigger& t = map.Trigger(action);
    if (t.kind == MidiTrigger::Kind::None) continue;
    text += std::string(MidiActionKey(action)) + "=" +
            (t.kind == MidiTrigger::Kind::Note ? "note " : "cc ") + std::to_string(t.channel + 1) +
            " " + std::to_string(t.number) + "\n";
  }
  return text;
}

namespace {

std::optional<MidiAction> ActionForKey(const std::string& key) {
  for (int i = 0; i < kMidiActions; ++i)
    if (key == kNames[static_cast<std::size_t>(i)].key) return static_cast<MidiAction>(i);
  return std::nullopt;
}

std::optional<MidiTrigger> TriggerFromWords(const std::string& words) {
  std::istringstream in(words);
  std::string kind, rest;
  long channel = 0, number = 0;
  if (!(in >> kind >> channel >> number) || (in >> rest)) return std::nullopt;
  if (channel < 1 || channel > 16 || number < 0 || number > 127) return std::nullopt;
  MidiTrigger trigger{MidiTrigger::Kind::None, static_cast<uint8_t>(channel - 1),
                      static_cast<uint8_t>(number)};
  if (kind == "note") trigger.kind = MidiTrigger::Kind::Note;
  if (kind == "cc") trigger.kind = MidiTrigger::Kind::Control;
  if (trigger.kind == MidiTrigger::Kind::None) return std::nullopt;
  return trigger;
}

}  // namespace

MidiControlMap ParseMidiControlMap(const std::string& text) {
  MidiControlMap map;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    const auto equals = line.find('=');
    if (equals == std::string::npos) continue;
    const auto action = ActionForKey(line.substr(0, equals));
    const auto trigger = TriggerFromWords(line.substr(equals + 1));
    if (action && trigger) map.Set(*action, *trigger);
  }
  return map;
}

int TempoPositionForControl(int value) {
  constexpr double kSlowest = 54, kFastest = 254;
  const double beatsPerMinute = kSlowest + std::clamp(value, 0, 127) * (kFastest - kSlowest) / 127;
  // A position's tempo is 7500 / position beats a minute.
  return ClampTempoPosition(static_cast<int>(std::lround(7500 / beatsPerMinute)));
}
