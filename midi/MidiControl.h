#pragma once
// MIDI as a remote control: Start / Continue / Stop, and learned notes or
// controllers for the program's actions. Heard on the MIDI input thread,
// where it only reads atomics and tells OnAction, which must hand the action
// to the UI thread without waiting.
#include <array>
#include <atomic>
#include <functional>

#include "midi/MidiControlMap.h"
#include "midi/MidiEvent.h"

class MidiControl : public MidiListener {
 public:
  MidiControl();

  // MIDI thread: an action with its value (a controller's value or a note's
  // velocity, 0 .. 127; the transport's 127).
  std::function<void(MidiAction, int value)> OnAction;
  // MIDI thread: Learn took this trigger for the action.
  std::function<void(MidiAction, MidiTrigger)> OnLearned;

  // ---- any thread ----
  void SetMap(const MidiControlMap& map);
  MidiControlMap Map() const;
  // The next note-on or controller heard becomes the action's trigger and
  // runs nothing.
  void Learn(MidiAction action) { learning_.store(static_cast<int>(action)); }
  void CancelLearn() { learning_.store(-1); }
  bool Learning() const { return learning_.load() >= 0; }
  // Whether MIDI Start / Continue / Stop run the players, and which player
  // Start and Continue run.
  void SetTransport(bool obey) { transport_.store(obey); }
  void SetStartAction(MidiAction action) { startAction_.store(static_cast<int>(action)); }

  void Heard(const MidiEvent& event) override;

 private:
  void Transport(uint8_t status);
  void Trigger(const MidiTrigger& trigger, int value);
  void ControlMoved(const MidiTrigger& trigger, uint8_t before, uint8_t value);
  bool TakeLearned(const MidiTrigger& trigger);
  void Tell(MidiAction action, int value);

  std::array<std::atomic<uint32_t>, kMidiActions> triggers_;
  std::atomic<int> learning_{-1};
  std::atomic<bool> transport_{true};
  std::atomic<int> startAction_{static_cast<int>(MidiAction::PlayPattern)};
  // MIDI thread only: each controller's last value, so a button's press
  // runs its action once and its release none.
  std::array<std::array<uint8_t, 128>, 16> lastControl_{};
};
