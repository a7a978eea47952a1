#include "song/SongMap.h"

#include <algorithm>
#include <exception>

#include "pattern/PatternGrid.h"
#include "render/ExportCoverage.h"
#include "song/Compile.h"

namespace {

constexpr int kCells = PatternGrid::kChannels;

// A tempo line that is no number keeps the step before it, as the player does.
double StepSeconds(const std::string& tempoLine, double before) {
  try {
    return ParseWholeNumber(tempoLine) * 2 / 1000.0;
  } catch (const std::exception&) {
    return before;
  }
}

}  // namespace

SongMap::SongMap(std::span<const std::string> sequence, const std::vector<PatternMeter>& meters,
                 int firstEntry, std::vector<std::string> names)
    : firstEntry_(firstEntry), names_(std::move(names)) {
  double time = 0, step = 0;
  const auto size = static_cast<std::int64_t>(sequence.size());
  for (std::int64_t line = 0; line < size && sequence[line] != kEndOfSong;) {
    if (sequence[line] != kPatternHeader || line + 1 >= size) break;
    step = StepSeconds(sequence[line + 1], step);
    Block block{line + 2, 0, 0, time, step};
    line += 2;
    while (line < size && sequence[line] != kPatternHeader && sequence[line] != kEndOfSong)
      line += kCells;
    block.rows = (line - block.firstLine) / kCells;
    const size_t index = blocks_.size();
    block.steps = index < meters.size() ? meters[index].steps : 0;
    block.time = index < meters.size() ? meters[index].time : 4;
    blocks_.push_back(block);
    time += static_cast<double>(block.rows) * step;
  }
  length_ = time;
}

SongPlace SongMap::At(std::int64_t position) const {
  SongPlace place;
  if (blocks_.empty()) return place;
  auto after = std::upper_bound(blocks_.begin(), blocks_.end(), position,
                                [](std::int64_t p, const Block& b) { return p < b.firstLine; });
  const auto index = static_cast<int>(std::max<std::ptrdiff_t>(0, after - blocks_.begin() - 1));
  const Block& block = blocks_[static_cast<size_t>(index)];
  const std::int64_t row = std::clamp<std::int64_t>((position - block.firstLine) / kCells, 0,
                                                    std::max<std::int64_t>(0, block.rows - 1));
  place.entry = firstEntry_ + index + 1;
  place.entries = static_cast<int>(names_.size());
  if (place.entry - 1 < place.entries) place.name = names_[static_cast<size_t>(place.entry - 1)];
  if (block.steps > 0 && block.rows >= block.steps) {
    place.passes = static_cast<int>(block.rows / block.steps);
    place.pass = static_cast<int>(std::min<std::int64_t>(row / block.steps + 1, place.passes));
  }
  place.step = static_cast<int>(block.steps > 0 ? row % block.steps : row);
  place.seconds = block.start + static_cast<double>(row) * block.step;
  place.length = length_;
  return place;
}

SongTimeline SongMap::Timeline() const {
  std::vector<SongTimeline::Block> blocks;
  for (const Block& b : blocks_)
    blocks.push_back(
        {b.start, b.step, b.rows, b.steps > 0 ? b.steps : 16, b.time > 0 ? b.time : 4});
  return SongTimeline(std::move(blocks));
}

std::string SongPlaceEntryText(const SongPlace& place) {
  std::string text =
      std::to_string(place.entry) + "/" + std::to_string(place.entries) + " " + place.name;
  if (place.passes > 1)
    text += ", pass " + std::to_string(place.pass) + " of " + std::to_string(place.passes);
  return text;
}

std::string SongPlaceTimeText(const SongPlace& place) {
  return SongTimeText(place.seconds) + " / " + SongTimeText(place.length);
}
