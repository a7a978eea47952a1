#pragma once
// The peaks of the sounds a window shows, computed once per sound: a sound
// is known again by its identity, and a changed sound has a new one.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <utility>

#include "kit/WaveformPeaks.h"

// Which samples a sound holds, cheap to compare: a file's path with its size
// and time of change, or the length and a digest of a sound in memory.
struct SoundIdentity {
  std::string source;
  uint64_t digest = 0;
  bool operator==(const SoundIdentity&) const = default;
};

class WaveformCache {
 public:
  using Compute = std::function<WaveformPeaks()>;

  // Keeps the peaks of the capacity sounds used last.
  explicit WaveformCache(size_t capacity = 64);

  // The sound's peaks, computed by compute only when the cache doesn't hold
  // them; an error of compute is raised and nothing is kept.
  std::shared_ptr<const WaveformPeaks> Get(const SoundIdentity& sound, const Compute& compute);
  size_t Count() const { return entries_.size(); }
  void Clear() { entries_.clear(); }

 private:
  using Entry = std::pair<SoundIdentity, std::shared_ptr<const WaveformPeaks>>;
  size_t capacity_;
  std::list<Entry> entries_;  // the one used last first
};
