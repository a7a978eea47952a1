#pragma once
// Which kit instrument a note played on a MIDI keyboard or pad sounds: the
// General MIDI map the MIDI file export uses, read backwards (36 the kick,
// 96 to 127 the sample slots), with the notes a user taught the kit first.
#include <array>
#include <string>
#include <vector>

class InstrumentTable;

// A note a user taught an instrument; the name as the chooser shows it
// without its bracket pair ("Kick", "Sample3").
struct LearnedNote {
  int note = 0;
  std::string instrument;
  bool operator==(const LearnedNote&) const = default;
};

class MidiNoteMap {
 public:
  static constexpr int kNotes = 128;

  // The chooser index each note sounds: learned notes first, then the
  // export's note of every instrument not learned (the first instrument of a
  // note takes it). -1 for notes that sound nothing.
  void Rebuild(const InstrumentTable& chooser);
  int IndexOf(int note) const;

  // The instrument now sounds on note, and no other learned instrument does.
  void Learn(const std::string& instrument, int note);
  const std::vector<LearnedNote>& Learned() const { return learned_; }
  void SetLearned(std::vector<LearnedNote> learned) { learned_ = std::move(learned); }

 private:
  std::vector<LearnedNote> learned_;
  std::array<int, kNotes> index_{};
};

// The volume digit (1 to 9) whose level is nearest to a velocity, by the
// export's curve: velocity 127 gives 1, each digit 5 dB quieter.
int LevelOfVelocity(int velocity);
