#pragma once
// Which MIDI note or controller runs which of the program's actions, learned
// from a controller; kept as text in the settings store.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

enum class MidiAction : int {
  PlayPattern,
  PlaySong,
  Stop,
  Record,
  NextEntry,
  PreviousEntry,
  Tempo,
};
inline constexpr int kMidiActions = 7;

// The action's words on its Learn row, and its key in the stored text.
const char* MidiActionTitle(MidiAction action);
const char* MidiActionKey(MidiAction action);

struct MidiTrigger {
  enum class Kind : uint8_t { None, Note, Control };
  Kind kind = Kind::None;
  uint8_t channel = 0;  // 0 .. 15 (shown 1 .. 16)
  uint8_t number = 0;   // note or controller, 0 .. 127
  bool operator==(const MidiTrigger&) const = default;

  // Packed in 32 bits for an atomic; 0 is none.
  uint32_t Packed() const;
  static MidiTrigger Unpacked(uint32_t packed);
};

// "Note 36, channel 10", "CC 20, channel 1", or "(none)".
std::string MidiTriggerText(const MidiTrigger& trigger);

class MidiControlMap {
 public:
  const MidiTrigger& Trigger(MidiAction action) const {
    return triggers_[static_cast<std::size_t>(action)];
  }
  // One trigger runs one action: the action that had it loses it.
  void Set(MidiAction action, const MidiTrigger& trigger);
  void Clear(MidiAction action) { Set(action, {}); }
  std::optional<MidiAction> ActionOf(const MidiTrigger& trigger) const;
  bool operator==(const MidiControlMap&) const = default;

 private:
  std::array<MidiTrigger, kMidiActions> triggers_{};
};

// One line an action: "stop=cc 1 20" (channel as shown, 1 .. 16).
std::string MidiControlMapText(const MidiControlMap& map);
// Lines it does not understand (a stranger's edit, an older program) are
// left out; the rest is kept.
MidiControlMap ParseMidiControlMap(const std::string& text);

// A controller's value (or a note's velocity), 0 .. 127, as the tempo bar
// position nearest a tempo from 54 to 254 beats a minute, even steps of
// tempo for even turns of the knob: the higher the faster.
int TempoPositionForControl(int value);
