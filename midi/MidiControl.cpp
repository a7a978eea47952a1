#include "midi/MidiControl.h"

MidiControl::MidiControl() {
  for (auto& t : triggers_) t.store(0);
}

void MidiControl::SetMap(const MidiControlMap& map) {
  for (int i = 0; i < kMidiActions; ++i)
    triggers_[static_cast<std::size_t>(i)].store(map.Trigger(static_cast<MidiAction>(i)).Packed());
}

MidiControlMap MidiControl::Map() const {
  MidiControlMap map;
  for (int i = 0; i < kMidiActions; ++i)
    map.Set(static_cast<MidiAction>(i),
            MidiTrigger::Unpacked(triggers_[static_cast<std::size_t>(i)].load()));
  return map;
}

void MidiControl::Heard(const MidiEvent& event) {
  if (event.size < 1) return;
  const uint8_t status = event.bytes[0];
  if (status == 0xFA || status == 0xFB || status == 0xFC) {
    Transport(status);
    return;
  }
  if (event.size < 3) return;
  const uint8_t kind = status & 0xF0;
  const uint8_t channel = status & 0x0F;
  const uint8_t number = event.bytes[1] & 0x7F;
  const uint8_t value = event.bytes[2] & 0x7F;
  if (kind == 0x90 && value > 0) {
    Trigger({MidiTrigger::Kind::Note, channel, number}, value);
  } else if (kind == 0xB0) {
    const uint8_t before = lastControl_[channel][number];
    lastControl_[channel][number] = value;
    ControlMoved({MidiTrigger::Kind::Control, channel, number}, before, value);
  }
}

void MidiControl::ControlMoved(const MidiTrigger& trigger, uint8_t before, uint8_t value) {
  if (TakeLearned(trigger)) return;
  const uint32_t packed = trigger.Packed();
  // A button presses past the middle (or sends its press again); a knob
  // turning on through the upper half presses nothing more. Tempo follows
  // every move.
  const bool pressed = value >= 64 && (before < 64 || before == value);
  for (int i = 0; i < kMidiActions; ++i) {
    const auto action = static_cast<MidiAction>(i);
    if (triggers_[static_cast<std::size_t>(i)].load() != packed) continue;
    if (action == MidiAction::Tempo || pressed) Tell(action, value);
  }
}

void MidiControl::Transport(uint8_t status) {
  if (!transport_.load()) return;
  if (status == 0xFC) {
    Tell(MidiAction::Stop, 127);
    return;
  }
  Tell(static_cast<MidiAction>(startAction_.load()), 127);
}

void MidiControl::Trigger(const MidiTrigger& trigger, int value) {
  if (TakeLearned(trigger)) return;
  const uint32_t packed = trigger.Packed();
  for (int i = 0; i < kMidiActions; ++i)
    if (triggers_[static_cast<std::size_t>(i)].load() == packed)
      Tell(static_cast<MidiAction>(i), value);
}

bool MidiControl::TakeLearned(const MidiTrigger& trigger) {
  const int action = learning_.exchange(-1);
  if (action < 0) return false;
  const uint32_t packed = trigger.Packed();
  for (auto& t : triggers_) {
    uint32_t expected = packed;
    t.compare_exchange_strong(expected, 0);  // one trigger runs one action
  }
  triggers_[static_cast<std::size_t>(action)].store(packed);
  if (OnLearned) OnLearned(static_cast<MidiAction>(action), trigger);
  return true;
}

void MidiControl::Tell(MidiAction action, int value) {
  if (OnAction) OnAction(action, value);
}
