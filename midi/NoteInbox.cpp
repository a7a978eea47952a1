#include "midi/NoteInbox.h"

void NoteInbox::Heard(const MidiEvent& event) {
  if (event.size != 3 || (event.bytes[0] & 0xF0) != 0x90) return;
  const uint8_t velocity = event.bytes[2];
  if (velocity == 0 || velocity > 127 || event.bytes[1] > 127) return;  // a note-off
  const int channel = (event.bytes[0] & 0x0F) + 1;
  const int wanted = Channel();
  if (wanted != 0 && wanted != channel) return;
  if (controlChannels_[event.bytes[1]].load(std::memory_order_relaxed) & (1u << (channel - 1)))
    return;
  const NoteHeard note{event.timeNs, static_cast<uint8_t>(channel), event.bytes[1], velocity};
  if (!queue_.TryPush(note)) {
    dropped_.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  if (!waiting_.exchange(true, std::memory_order_acq_rel) && wake_) wake_();
}

void NoteInbox::SetControlNotes(const MidiControlMap& controls) {
  std::array<uint16_t, 128> channels{};
  for (int a = 0; a < kMidiActions; ++a) {
    const MidiTrigger& trigger = controls.Trigger(static_cast<MidiAction>(a));
    if (trigger.kind == MidiTrigger::Kind::Note && trigger.number < 128 && trigger.channel < 16)
      channels[trigger.number] |= static_cast<uint16_t>(1u << trigger.channel);
  }
  for (size_t note = 0; note < channels.size(); ++note)
    controlChannels_[note].store(channels[note], std::memory_order_relaxed);
}
