#pragma once
// The players' beat at midi_out: every hit a note-on on channel 10 at the
// moment it is heard, its note-off one step later, MIDI clock with Start,
// Stop and Song Position, and all notes off at Stop. Runs inside the
// players' steps on the UI thread and only hands timed messages to the
// sender, in the order they are due.
#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

#include "midi/HitNotes.h"
#include "midi/MidiClockOut.h"
#include "midi/MidiEvent.h"
#include "song/PlayObserver.h"

class MidiBeatOut : public PlayObserver {
 public:
  // notes and sender must outlive this object.
  MidiBeatOut(const HitNotes& notes, MidiSender& sender) : notes_(notes), sender_(sender) {}

  // Either may change at any time; a change counts from the next start.
  void SetSendNotes(bool on) { sendNotes_ = on; }
  void SetSendClock(bool on) { sendClock_ = on; }
  bool SendsNotes() const { return sendNotes_; }
  bool SendsClock() const { return sendClock_; }

  void PlayStarted(Clock::time_point firstStep) override;
  void StepPlaced(Clock::time_point sound, Clock::time_point earliest) override;
  void CellPlayed(const std::string& text, Clock::time_point sound, int quieterTenthDb) override;
  void NextStepAt(Clock::time_point next) override;
  void PlayEnded(Clock::time_point end) override;
  void PlayStopped(Clock::time_point now) override;

  // Notes sent on and not yet sent off.
  int NotesSounding() const;

 private:
  struct Pending {
    TimedMidi message;
    int rank = 0;       // at one moment: offs, then clock, then ons
    bool open = false;  // a note-off whose step's length is not known yet
  };
  enum Rank { kOff = 0, kClock = 1, kOn = 2 };

  void Add(const TimedMidi& message, int rank, bool open = false);
  void AddNoteOn(const DrumNote& note, int64_t dueNs);
  // The note-offs of the step now playing end where its step ends.
  void CloseStep(int64_t stepEndNs);
  // Hands over everything due before horizonNs, in time order.
  void SendBefore(int64_t horizonNs);
  void Send(const TimedMidi& message);
  void SendAllNotesOff(int64_t dueNs);

  const HitNotes& notes_;
  MidiSender& sender_;
  bool sendNotes_ = true;
  bool sendClock_ = false;
  bool playing_ = false;
  bool notesThisRun_ = false, clockThisRun_ = false;
  MidiClockOut clock_;
  std::vector<Pending> outbox_;  // by due time, then rank
  int64_t stepNs_ = 0;           // the step now playing sounds here
  int64_t leadNs_ = 0;           // its hits may sound this much earlier
  int64_t lastSentNs_ = 0;       // nothing is handed over due before it
  std::array<bool, 128> sounding_{};
};

// Steady-clock nanoseconds, as MidiEvent counts them.
inline int64_t MidiNs(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}
