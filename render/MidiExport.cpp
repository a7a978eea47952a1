#include "render/MidiExport.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "kit/InstrumentTable.h"
#include "render/GmDrumMap.h"
#include "render/HitTable.h"
#include "render/SmfWriter.h"
#include "song/HitGroove.h"
#include "song/MixRule.h"

namespace {

constexpr int kTempoRank = 0;
constexpr int kNoteOffRank = 1;
constexpr int kNoteOnRank = 2;

std::string TempoBytes(int tempo) {
  const std::uint32_t micros = static_cast<std::uint32_t>(tempo) * 8000;
  return {static_cast<char>(micros >> 16 & 0xFF), static_cast<char>(micros >> 8 & 0xFF),
          static_cast<char>(micros & 0xFF)};
}

std::string NoteBytes(int status, int note, int velocity) {
  return {static_cast<char>(status | kDrumChannel), static_cast<char>(note),
          static_cast<char>(velocity)};
}

// The largest power of two up to 16 that divides both.
int CommonUnit(int a, int b) {
  int unit = 16;
  while (unit > 1 && (a % unit != 0 || b % unit != 0)) unit /= 2;
  return unit;
}

}  // namespace

TimeSignature TimeSignatureOf(int steps, int time) {
  steps = std::max(steps, 1);
  time = std::max(time, 1);
  // Groups that fill a 16-step bar repeat it; any other pattern is one bar.
  const int bar = steps % 16 == 0 && 16 % time == 0 ? 16 : steps;
  const int unit = CommonUnit(bar, time);
  TimeSignature signature{bar / unit, 16 / unit, 6 * time};
  if (signature.beats > 255) signature = {4, 4, 24};
  if (signature.clocksPerClick > 255) signature.clocksPerClick = 6 * unit;
  return signature;
}

namespace {

std::string TimeSignatureBytes(const TimeSignature& signature) {
  int power = 0;
  while ((1 << power) < signature.noteValue) ++power;
  return {static_cast<char>(signature.beats), static_cast<char>(power),
          static_cast<char>(signature.clocksPerClick), 8};
}

// A signature at the first row of each pattern whose meter differs from the
// one before; 4/4 from the start when no meters are known.
void AddTimeSignatures(SmfTrack& track, const std::vector<PatternMeter>& meters) {
  if (meters.empty()) {
    track.Meta(0, 0x58, TimeSignatureBytes(TimeSignatureOf(16, 4)));
    return;
  }
  std::string current;
  for (const PatternMeter& meter : meters) {
    const std::string bytes = TimeSignatureBytes(TimeSignatureOf(meter.steps, meter.time));
    if (bytes == current) continue;
    current = bytes;
    track.Meta(meter.firstRow * kMidiTicksPerStep, 0x58, bytes);
  }
}

SmfTrack TempoTrack(const SongSteps& steps, const std::vector<PatternMeter>& meters) {
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
  AddTimeSignatures(track, meters);
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

namespace {

double KitDecibels(int level) {
  return -5.0 * (std::max(level, 1) - 1);
}

double SlotDecibels(std::int32_t volume) {
  return volume / 100.0;
}

}  // namespace

int VelocityOfDecibels(double decibels) {
  return std::clamp(static_cast<int>(std::nearbyint(127 * std::pow(10.0, decibels / 40))), 1, 127);
}

int KitVelocity(int level) {
  return VelocityOfDecibels(KitDecibels(level));
}

int SlotVelocity(std::int32_t volume) {
  return VelocityOfDecibels(SlotDecibels(volume));
}

namespace {

// A row's note under the groove: moved by its swing and humanize at the
// file's tick resolution (never before the start), quieter by its humanize.
struct GroovedNote {
  std::int64_t tick = 0;
  double quieterDb = 0;
};

GroovedNote GrooveNote(const Groove& groove, const SongSteps& steps, std::int64_t row,
                       const std::string& instrument, bool kit) {
  GroovedNote note{row * kMidiTicksPerStep, 0};
  if (groove.IsPlain()) return note;
  auto block = std::upper_bound(steps.tempos.begin(), steps.tempos.end(), row,
                                [](std::int64_t r, const TempoChange& c) { return r < c.row; });
  if (block == steps.tempos.begin()) return note;
  --block;
  const double step = double(std::int64_t{block->tempo} * 2) * 0.001;
  const HitGroove moved = GrooveOfHit(groove, {row, row - block->row, step, instrument});
  if (step > 0)
    note.tick = std::max<std::int64_t>(
        0, note.tick + std::llround(moved.delaySeconds / step * kMidiTicksPerStep));
  if (kit) note.quieterDb = moved.quieterTenthDb / 10.0;
  return note;
}

}  // namespace

std::string MidiFileBytes(const Lines& sequence, const InstrumentTable& chooser,
                          const SlotSounds& slots, const std::vector<PatternMeter>& meters,
                          const Groove& groove, const KitMix& mix) {
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
    const MixVerdict mixed =
        kit ? MixVerdictOf(mix, InstrumentName(chooser.Item(instrument))) : MixVerdict{};
    if (!mixed.sounds) continue;
    // One note a row: an instrument in two channels of a row sounds once,
    // as loud as the louder.
    std::map<std::int64_t, double> loudest;
    for (const Hit& hit : FindHits(sequence, chooser, instrument)) {
      // The digit's loudness and the mix's level together, rounded once.
      const double decibels =
          kit ? KitDecibels(hit.level) + mixed.levelCentiDb / 100.0
              : SlotDecibels(
                    slots[static_cast<std::size_t>(instrument - chooser.LastKitIndex() - 1)]
                        .volume);
      auto [at, added] = loudest.emplace(hit.row, decibels);
      if (!added) at->second = std::max(at->second, decibels);
    }
    const std::string key = GrooveInstrumentKey(chooser.Item(instrument));
    std::vector<std::pair<std::int64_t, int>> played;  // tick, velocity
    for (const auto& [row, decibels] : loudest) {
      const GroovedNote placed = GrooveNote(groove, steps, row, key, kit);
      played.emplace_back(placed.tick, VelocityOfDecibels(decibels - placed.quieterDb));
    }
    // Humanize may bring a note before the one it follows; each note ends
    // where the next begins at the latest, so none cuts another short.
    std::stable_sort(played.begin(), played.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < played.size(); ++i) {
      const auto [tick, velocity] = played[i];
      // Two notes met on one tick: the later row's sounds.
      if (i + 1 < played.size() && played[i + 1].first == tick) continue;
      std::int64_t off = tick + kMidiTicksPerStep;
      if (i + 1 < played.size()) off = std::min(off, played[i + 1].first);
      drums.Add(tick, kNoteOnRank, NoteBytes(0x90, note, velocity));
      drums.Add(off, kNoteOffRank, NoteBytes(0x80, note, 64));
    }
  }
  drums.EndAt(steps.rows * kMidiTicksPerStep);
  return SmfFile(kMidiTicksPerQuarter, {TempoTrack(steps, meters), drums});
}
