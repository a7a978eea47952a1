#include "render/MidiExport.h"

#include <algorithm>
#include <cmath>

#include "kit/InstrumentTable.h"
#include "render/GmDrumMap.h"
#include "render/HitTable.h"
#include "render/SmfWriter.h"

namespace {

constexpr int kTempoRank = 0;
constexpr int kNoteOffRank = 1;
constexpr int kNoteOnRank = 2;

int Velocity(double decibels) {
  return std::clamp(static_cast<int>(std::nearbyint(127 * std::pow(10.0, decibels / 40))), 1, 127);
}

std::string TempoBytes(int tempo) {
  const std::uint32_t micros = static_cast<std::uint32_t>(tempo) * 8000;
  return {static_cast<char>(micros >> 16 & 0xFF), static_cast<char>(micros >> 8 & 0xFF),
          static_cast<char>(micros & 0xFF)};
}

std::string NoteBytes(int status, int note, int velocity) {
  return {static_cast<char>(status | kDrumChannel), static_cast<char>(note),
          static_cast<char>(velocity)};
}

SmfTrack TempoTrack(const SongSteps& steps) {
  // Each header's tempo one step before its first row; a later header at the
  // same place wins, as it does in the song.
  std::vector<std::pair<std::int64_t, int>> changes;
  for (const TempoChange& change : steps.tempos) {
    const std::int64_t tick = std::max<std::int64_t>(0, change.row - 1) * kMidiTicksPerStep;
    if (!changes.empty() && changes.back().first == tick)
      changes.back().second = change.tempo;
    else
      changes.emplace_back(tick, change.tempo);
  }
  SmfTrack track;
  track.Meta(0, 0x03, "Tempo");
  track.Meta(0, 0x58, std::string("\x04\x02\x18\x08", 4));  // 4/4
  int current = -1;
  for (const auto& [tick, tempo] : changes) {
    if (tempo == current) continue;
    current = tempo;
    track.Meta(tick, 0x51, TempoBytes(tempo));
  }
  track.EndAt(steps.rows * kMidiTicksPerStep);
  return track;
}

}  // namespace

int KitVelocity(int level) {
  return Velocity(-5.0 * (std::max(level, 1) - 1));
}

int SlotVelocity(std::int32_t volume) {
  return Velocity(volume / 100.0);
}

std::string MidiFileBytes(const Lines& sequence, const InstrumentTable& chooser,
                          const SlotSounds& slots) {
  const SongSteps steps = StepsOf(sequence);
  const std::vector<int> notes = DrumNotes(chooser);
  SmfTrack drums;
  drums.Meta(0, 0x03, "Drums");
  std::vector<int> used = UsedInstruments(sequence, chooser);
  std::sort(used.begin(), used.end());
  for (const int instrument : used) {
    const int note = notes[static_cast<std::size_t>(instrument)];
    if (note < 0) continue;
    const bool kit = instrument <= chooser.LastKitIndex();
    for (const Hit& hit : FindHits(sequence, chooser, instrument)) {
      const int velocity =
          kit ? KitVelocity(hit.level)
              : SlotVelocity(
                    slots[static_cast<std::size_t>(instrument - chooser.LastKitIndex() - 1)]
                        .volume);
      const std::int64_t tick = hit.row * kMidiTicksPerStep;
      drums.Add(tick, kNoteOnRank, NoteBytes(0x90, note, velocity));
      drums.Add(tick + kMidiTicksPerStep, kNoteOffRank, NoteBytes(0x80, note, 64));
    }
  }
  drums.EndAt(steps.rows * kMidiTicksPerStep);
  return SmfFile(kMidiTicksPerQuarter, {TempoTrack(steps), drums});
}
