#include "midi/MidiNotePlayer.h"

#include <chrono>

#include "kit/InstrumentTable.h"
#include "midi/RecordPlacement.h"
#include "song/PlaybackSound.h"

std::string MidiNotePlayer::CellTextOf(const NoteHeard& note) const {
  const int index = map_.IndexOf(note.note);
  if (index < 1 || index >= static_cast<int>(chooser_.Items().size())) return {};
  return RecordedCellText(chooser_.Item(index), LevelOfVelocity(note.velocity));
}

bool MidiNotePlayer::Play(const NoteHeard& note) {
  const std::string text = CellTextOf(note);
  if (text.empty()) return false;
  PlaybackSound::StepPlace place;
  place.at = PlaybackSound::Clock::time_point(std::chrono::nanoseconds(note.timeNs));
  // A note read in a JACK cycle is stamped with its frame's moment, up to a
  // block after the clock's now: placed by the frame of that moment, it
  // keeps its place in the block rather than sounding at the block's start.
  if (const auto frame = sound_.FrameForCall(place.at)) place.frame = *frame;
  try {
    sound_.TriggerCell(text, place);
  } catch (const std::exception&) {
    ++skipped_;
    return false;
  }
  return true;
}
