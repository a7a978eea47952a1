#include "render/HitTable.h"

#include <algorithm>
#include <unordered_set>

#include "common/Exception.h"
#include "kit/InstrumentTable.h"

namespace {

constexpr std::size_t kNameLength = 10;
constexpr std::size_t kDigitAt = 11;
const char* const kHeader = "//";
const char* const kEnd = "%%%";

const std::string& LineAt(const Lines& sequence, std::int64_t p) {
  if (p < 0 || p >= static_cast<std::int64_t>(sequence.size()))
    throw Exception("List index out of bounds (" + std::to_string(p) + ")");
  return sequence[static_cast<std::size_t>(p)];
}

}  // namespace

std::vector<int> UsedInstruments(const Lines& sequence, const InstrumentTable& chooser) {
  std::vector<int> used;
  std::unordered_set<int> seen;
  for (std::string text : sequence) {
    if (text.size() > kNameLength) text[kDigitAt] = ' ';
    const int u = chooser.IndexOf(text);
    if (u > 0 && seen.insert(u).second) used.push_back(u);
  }
  return used;
}

namespace {

// The render's walk over a sequence: each line's text with its volume digit
// taken off (in a kit pass), the row it belongs to and that row's time.
class SequenceWalk {
 public:
  SequenceWalk(const Lines& sequence, bool takeLevels)
      : sequence_(sequence), takeLevels_(takeLevels) {}

  // Moves to the next line; false once "%%%" was passed.
  bool Next() {
    if (text_ == kEnd) return false;
    level_ = 0;
    header_ = false;
    text_ = LineAt(sequence_, p_);
    if (takeLevels_ && text_.size() > kNameLength) level_ = TakeVolumeLevel(text_);
    ++p_;
    if (text_ == kHeader) {
      header_ = true;
      text_ = LineAt(sequence_, p_);
      tempo_ = ParseWholeNumber(text_);
      step_ = double(std::int64_t{tempo_} * 2) * 0.001;
      ++p_;
    } else {
      ++column_;
    }
    if (column_ == 6) {
      column_ = 0;
      ++row_;
      time_ += step_;
    }
    return true;
  }

  const std::string& Text() const { return text_; }
  bool Header() const { return header_; }
  bool End() const { return text_ == kEnd; }
  std::int64_t Line() const { return p_ - 1; }
  int Level() const { return level_; }
  int Tempo() const { return tempo_; }
  double Step() const { return step_; }
  double Time() const { return time_; }
  // The row of this cell line; for a header, the row its tempo starts at.
  std::int64_t Row() const { return header_ ? row_ + (column_ >= 5 ? 1 : 0) : row_; }

 private:
  const Lines& sequence_;
  bool takeLevels_;
  std::string text_;
  bool header_ = false;
  int level_ = 0;
  int tempo_ = 0;
  double step_ = 0;
  double time_ = 0;
  int column_ = -1;
  std::int64_t row_ = 0;
  std::int64_t p_ = 0;
};

}  // namespace

std::vector<std::string> MissingInstruments(const Lines& sequence, const InstrumentTable& chooser) {
  SequenceWalk walk(sequence, false);
  std::vector<std::string> missing;
  while (walk.Next()) {
    if (walk.Header() || walk.End()) continue;
    std::string text = walk.Text();
    if (text.size() > kNameLength) text[kDigitAt] = ' ';
    if (WithoutSurroundingBlanks(text).empty() || chooser.IndexOf(text) >= 0) continue;
    const std::string name = InstrumentName(text);
    if (std::find(missing.begin(), missing.end(), name) == missing.end()) missing.push_back(name);
  }
  return missing;
}

std::vector<Hit> FindHits(const Lines& sequence, const InstrumentTable& chooser, int instrument) {
  SequenceWalk walk(sequence, instrument <= chooser.LastKitIndex());
  std::vector<Hit> hits;
  while (walk.Next())
    if (chooser.IndexOf(walk.Text()) == instrument)
      hits.push_back({walk.Line(), walk.Time(), walk.Level(), walk.Row()});
  return hits;
}

SongSteps StepsOf(const Lines& sequence) {
  SequenceWalk walk(sequence, false);
  SongSteps steps;
  double firstStep = 0;
  double lastRowTime = 0;
  while (walk.Next()) {
    if (walk.Header()) {
      steps.tempos.push_back({walk.Row(), walk.Tempo()});
    } else if (!walk.End()) {
      if (steps.rows == 0) firstStep = walk.Step();
      steps.rows = walk.Row() + 1;
      lastRowTime = walk.Time();
    }
  }
  if (steps.rows > 0) steps.length = lastRowTime + firstStep;
  return steps;
}

double KitHitVolume(int level) {
  return (4000 - 500 * level) * 0.00025;
}

double SlotHitVolume(std::int32_t volume) {
  return (volume + 4000) * 0.00025;
}

double HitPan(std::int32_t pan) {
  return pan * 0.0005;
}
