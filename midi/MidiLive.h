#pragma once
// Live MIDI in the windows: the ports opened as Preferences chose, notes
// from midi_in sounding the kit, written into the grid while Record is on,
// and taught to instruments from the Kit List ("Learn MIDI note").
#include <QObject>
#include <filesystem>
#include <string>
#include <vector>

#include "midi/MidiChoice.h"
#include "midi/MidiNoteMap.h"
#include "midi/MidiNotePlayer.h"
#include "midi/MidiPorts.h"
#include "midi/NoteInbox.h"
#include "midi/WakeSignal.h"

class QAction;
class QSocketNotifier;
class QTimer;
class TSequence;

class MidiLive : public QObject {
 public:
  // The sequence must outlive this object; the Record toggle joins its tool bar.
  explicit MidiLive(TSequence& sequence);
  ~MidiLive() override;

  // The program's live MIDI, for Preferences; null while there is none.
  static MidiLive* Running() { return running_; }

  // The ports: others listen at midi_in (AddListener before Start) and send
  // at midi_out.
  MidiPorts& Ports() { return ports_; }
  // Opens the ports on the stored API (or the command line's) and connects
  // the stored ports. Returns what went wrong, empty when nothing did.
  std::string Start();
  // Preferences changed the choice: the ports open afresh as it says.
  std::string Apply(const MidiChoice& choice);
  const MidiChoice& Choice() const { return choice_; }

  // The next note played teaches the instrument (its name, as the Kit List
  // shows it) and is kept beside the kit.
  void StartLearning(const std::string& instrument);
  const std::string& Learning() const { return learning_; }
  const MidiNoteMap& NoteMap() const { return map_; }

  // Record (R): notes played while the pattern plays go into the grid.
  QAction* RecordAction() const { return record_; }
  // Sounds, learns and records every note waiting now (the UI thread's wake-up).
  void TakeNotes();
  NoteInbox& Inbox() { return inbox_; }

 private:
  void Take(const NoteHeard& note);
  void Learn(int note);
  void RecordNote(const NoteHeard& note);
  bool InCountIn(int row) const;
  // The pattern's time cell, 4 when it holds no number (as a new pattern's).
  int PatternTime() const;
  // The metronome follows Record, the choice and the pattern's meter.
  void FollowClick();
  // The map follows the kit: its instruments and the notes learned for it.
  void FollowKit();
  void WatchPasses();
  std::string OpenPorts();

  static MidiLive* running_;
  TSequence& sequence_;
  WakeSignal wake_;
  NoteInbox inbox_;
  MidiPorts ports_;
  MidiNoteMap map_;
  MidiNotePlayer player_;
  MidiChoice choice_;
  QSocketNotifier* notifier_ = nullptr;
  QAction* record_ = nullptr;
  QTimer* passWatch_ = nullptr;
  std::string learning_;
  std::vector<std::string> chooserSeen_;
  std::filesystem::path kitSeen_;
  int pass_ = 0;          // the recorded pass, as the history names it
  bool newPass_ = false;  // the next note recorded begins a pass
};
