#include "kit/WaveformCache.h"

#include <algorithm>

WaveformCache::WaveformCache(size_t capacity) : capacity_(std::max<size_t>(capacity, 1)) {}

std::shared_ptr<const WaveformPeaks> WaveformCache::Get(const SoundIdentity& sound,
                                                        const Compute& compute) {
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [&](const Entry& entry) { return entry.first == sound; });
  if (found != entries_.end()) {
    entries_.splice(entries_.begin(), entries_, found);
    return found->second;
  }
  auto peaks = std::make_shared<const WaveformPeaks>(compute());
  entries_.emplace_front(sound, peaks);
  if (entries_.size() > capacity_) entries_.pop_back();
  return peaks;
}
