#pragma once
// Notes from midi_in sounding the kit: each note-on plays its instrument at
// the loudness of its velocity, placed in the output at the moment it
// arrived (as a step is placed at its moment), so its distance from the
// notes before it is kept whatever block the output is at.
#include "midi/MidiNoteMap.h"
#include "midi/NoteInbox.h"

class InstrumentTable;
class PlaybackSound;

class MidiNotePlayer {
 public:
  // All must outlive the player.
  MidiNotePlayer(const InstrumentTable& chooser, const MidiNoteMap& map, PlaybackSound& sound)
      : chooser_(chooser), map_(map), sound_(sound) {}

  // The chooser item the note sounds, with its volume digit; empty for a note
  // that sounds nothing.
  std::string CellTextOf(const NoteHeard& note) const;
  // Sounds the note; false when it maps to nothing. A cell that cannot
  // sound (no such kit entry) is skipped, as playback skips it.
  bool Play(const NoteHeard& note);
  int64_t Skipped() const { return skipped_; }

 private:
  const InstrumentTable& chooser_;
  const MidiNoteMap& map_;
  PlaybackSound& sound_;
  int64_t skipped_ = 0;
};
