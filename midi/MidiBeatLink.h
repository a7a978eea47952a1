#pragma once
// The main window's players and controls wired to MIDI: the beat and the
// clock out to midi_out, MIDI control and a followed clock in from midi_in.
// What arrives on the MIDI input thread (with JACK, the sound's own cycle)
// is handed to the UI thread through atomics and a wake-up: nothing there
// waits, locks or allocates.
#include <QObject>
#include <QPointer>
#include <array>
#include <atomic>
#include <functional>
#include <memory>

#include "midi/ClockFollower.h"
#include "midi/HitNotes.h"
#include "midi/MidiBeatOut.h"
#include "midi/MidiBeatSettings.h"
#include "midi/MidiControl.h"
#include "midi/WakeSignal.h"

class MidiBeatPreferences;
class QSocketNotifier;
class TSequence;

class MidiBeatLink : public QObject {
 public:
  // sequence must outlive the link; slotVolume gives a sample slot's volume
  // (hundredths of a decibel) for its notes' velocity.
  MidiBeatLink(TSequence& sequence, HitNotes::SlotVolume slotVolume,
               const MidiBeatSettings& settings);
  ~MidiBeatLink() override;
  MidiBeatLink(const MidiBeatLink&) = delete;
  MidiBeatLink& operator=(const MidiBeatLink&) = delete;

  // The program's link while one exists (the Preferences group finds it here).
  static MidiBeatLink* Current();

  // midi_out; none: nothing is sent and the players tell no one. The sender
  // must outlive the link or be taken away first.
  void SetSender(MidiSender* sender);
  // What midi_in feeds: MIDI control, and the followed clock while following.
  // Take it from the port before the link goes.
  MidiListener& Listener() { return listener_; }
  void Apply(const MidiBeatSettings& settings);
  const MidiBeatSettings& Settings() const { return settings_; }
  // The next note or control heard becomes the action's trigger; `waiting`
  // is told (when it still exists), and the settings keep it either way.
  void Learn(MidiAction action, MidiBeatPreferences* waiting);
  // Record pressed by MIDI: the record toggle, once there is one.
  std::function<void()> OnRecord;
  // The notes and controllers that run actions changed (and once when set).
  void SetControlsListener(std::function<void(const MidiControlMap&)> listener);

  // ---- UI thread: what MIDI asked for ----
  void Run(MidiAction action, int value);
  void FollowStep(double stepSeconds);

 private:
  class Fanout : public MidiListener {
   public:
    explicit Fanout(MidiBeatLink& link) : link_(link) {}
    void Heard(const MidiEvent& event) override;

   private:
    MidiBeatLink& link_;
  };

  // MIDI thread: one hand-over per action at a time; a flood of one
  // control (a tempo knob, a stuck key) runs it once with its latest value.
  void HandOver(MidiAction action, int value);
  void HandOverStep(double stepSeconds);
  void HandOverLearned(MidiAction action, MidiTrigger trigger);
  // UI thread, woken: runs what was handed over, actions in their order.
  void TakeHandedOver();
  uint64_t HandedAt(int action) const;
  void Attach();
  void MoveTempoBar(int position);
  void StepPlayList(int by);
  void TakeLearned(MidiAction action, MidiTrigger trigger);

  TSequence& sequence_;
  MidiBeatSettings settings_;
  HitNotes notes_;
  MidiSender* sender_ = nullptr;
  std::unique_ptr<MidiBeatOut> beatOut_;
  MidiControl control_;
  ClockFollower follower_;
  std::atomic<bool> following_{false};
  std::array<std::atomic<int>, kMidiActions> pending_;          // -1: none waiting
  std::array<std::atomic<uint64_t>, kMidiActions> handedAt_{};  // the order they came in
  std::atomic<uint64_t> handOvers_{0};
  std::atomic<double> pendingStep_{0};  // 0: none waiting
  std::atomic<uint64_t> learned_{0};    // action + 1 above the packed trigger; 0: none
  WakeSignal wake_;
  QSocketNotifier* wakeWatch_ = nullptr;
  Fanout listener_{*this};
  QPointer<MidiBeatPreferences> learning_;
  std::function<void(const MidiControlMap&)> controlsListener_;
};
