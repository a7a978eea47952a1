#include "render/GrooveHits.h"

#include <algorithm>
#include <cmath>

#include "song/HitGroove.h"

namespace {

// The header in force at a row: the last one starting at or before it.
const TempoChange* BlockOf(const SongSteps& steps, std::int64_t row) {
  const auto after =
      std::upper_bound(steps.tempos.begin(), steps.tempos.end(), row,
                       [](std::int64_t r, const TempoChange& change) { return r < change.row; });
  return after == steps.tempos.begin() ? nullptr : &*(after - 1);
}

}  // namespace

void ApplyGroove(std::vector<Hit>& hits, const SongSteps& steps, const Groove& groove,
                 const std::string& instrumentKey) {
  if (groove.IsPlain()) return;
  HitSpot spot;
  spot.instrument = instrumentKey;
  for (Hit& hit : hits) {
    const TempoChange* block = BlockOf(steps, hit.row);
    spot.songRow = hit.row;
    spot.blockRow = block ? hit.row - block->row : hit.row;
    // The step as the render sums it: tempo × 2 thousandths of a second.
    spot.stepSeconds = block ? double(std::int64_t{block->tempo} * 2) * 0.001 : 0;
    const HitGroove moved = GrooveOfHit(groove, spot);
    hit.time = std::max(0.0, hit.time + moved.delaySeconds);
    hit.quieterTenthDb = moved.quieterTenthDb;
  }
  // The mix walks each pass in time order; humanize may swap close hits.
  std::stable_sort(hits.begin(), hits.end(),
                   [](const Hit& a, const Hit& b) { return a.time < b.time; });
}

double QuieterGain(int quieterTenthDb) {
  return std::pow(10.0, -quieterTenthDb / 200.0);
}
