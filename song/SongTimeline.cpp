#include "song/SongTimeline.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <mutex>

namespace {
// Bars that do not fill their last one round up: the next block starts a bar.
int64_t BarsOf(const SongTimeline::Block& b) {
  const int steps = std::max(1, b.steps);
  return (b.rows + steps - 1) / steps;
}
}  // namespace

SongTimeline::SongTimeline(std::vector<Block> blocks) : blocks_(std::move(blocks)) {
  int64_t bars = 0;
  for (const Block& b : blocks_) {
    barsBefore_.push_back(bars);
    bars += BarsOf(b);
  }
}

BarBeatTick SongTimeline::At(double seconds) const {
  BarBeatTick at;
  if (blocks_.empty()) return at;
  auto after = std::upper_bound(blocks_.begin(), blocks_.end(), seconds,
                                [](double s, const Block& b) { return s < b.start; });
  const size_t index =
      static_cast<size_t>(std::max<std::ptrdiff_t>(0, after - blocks_.begin() - 1));
  const Block& b = blocks_[index];
  const int time = std::max(1, b.time);
  const int steps = std::max(time, b.steps);
  const double step = b.step > 0 ? b.step : 0.25;
  const double rows = std::max(0.0, (seconds - b.start) / step);
  const auto wholeRows = static_cast<int64_t>(std::floor(rows));
  const int64_t barInBlock = wholeRows / steps;
  const double rowInBar = rows - static_cast<double>(barInBlock * steps);
  const double beats = rowInBar / time;
  at.beatsPerBar = static_cast<float>(static_cast<double>(steps) / time);
  at.bar = static_cast<int32_t>(barsBefore_[index] + barInBlock + 1);
  at.beat = static_cast<int32_t>(std::floor(beats)) + 1;
  at.tick = static_cast<int32_t>((beats - std::floor(beats)) * kTicksPerBeat);
  at.ticksPerBeat = kTicksPerBeat;
  at.barStartTick = static_cast<double>(at.bar - 1) * at.beatsPerBar * kTicksPerBeat;
  at.beatsPerMinute = 60.0 / (step * time);
  return at;
}

namespace {

struct Published {
  std::mutex mutex;  // writers only
  std::vector<std::unique_ptr<SongTimeline>> kept;
  std::atomic<const SongTimeline*> current{nullptr};
};

Published& Shared() {
  static Published published;
  return published;
}

}  // namespace

void PublishSongTimeline(SongTimeline timeline) {
  Published& shared = Shared();
  std::lock_guard lock(shared.mutex);
  shared.kept.push_back(std::make_unique<SongTimeline>(std::move(timeline)));
  shared.current.store(shared.kept.back().get());
}

const SongTimeline* PublishedSongTimeline() {
  return Shared().current.load();
}
