#include "kit/SoundTrouble.h"

#include <climits>

namespace soundtrouble {
namespace {

struct Counters {
  std::atomic<int64_t> lateStarts{0}, lateCallbacks{0}, serverUnderruns{0}, slowRenders{0},
      steals{0}, dropped{0};
  // Of the last late callback and underrun counted, ns of the steady clock.
  std::atomic<int64_t> lateCallbackAt{INT64_MIN}, serverUnderrunAt{INT64_MIN};
};

Counters& Shared() {
  static Counters counters;
  return counters;
}

void Add(std::atomic<int64_t>& counter) {
  counter.fetch_add(1, std::memory_order_relaxed);
}

void Describe(std::string& line, int64_t grew, const char* what) {
  if (grew <= 0) return;
  line += (line.empty() ? "" : ", ") + std::to_string(grew) + " " + what;
}

// The mixers sharing a device are called one after another in one callback:
// what they tell of it within a block's time is the same event.
void AddOnce(std::atomic<int64_t>& counter, std::atomic<int64_t>& lastAt,
             std::chrono::steady_clock::time_point when) {
  constexpr int64_t kSameCallbackNs = 4'000'000;
  const int64_t at =
      std::chrono::duration_cast<std::chrono::nanoseconds>(when.time_since_epoch()).count();
  int64_t last = lastAt.load();
  do {
    if (last != INT64_MIN && at - last < kSameCallbackNs && at - last > -kSameCallbackNs) return;
  } while (!lastAt.compare_exchange_weak(last, at));
  Add(counter);
}

}  // namespace

void AddLateStart() {
  Add(Shared().lateStarts);
}
void AddLateCallback(std::chrono::steady_clock::time_point when) {
  AddOnce(Shared().lateCallbacks, Shared().lateCallbackAt, when);
}
void AddServerUnderrun(std::chrono::steady_clock::time_point when) {
  AddOnce(Shared().serverUnderruns, Shared().serverUnderrunAt, when);
}
void AddSlowRender() {
  Add(Shared().slowRenders);
}
void AddSteal() {
  Add(Shared().steals);
}
void AddDropped() {
  Add(Shared().dropped);
}

SoundTroubleCounts Totals() {
  const Counters& c = Shared();
  return {c.lateStarts.load(),  c.lateCallbacks.load(), c.serverUnderruns.load(),
          c.slowRenders.load(), c.steals.load(),        c.dropped.load()};
}

std::string Describe(const SoundTroubleCounts& before, const SoundTroubleCounts& now) {
  std::string line;
  Describe(line, now.lateStarts - before.lateStarts, "late starts (sounds placed late)");
  Describe(line, now.lateCallbacks - before.lateCallbacks,
           "late callbacks (the system ran the sound thread late)");
  Describe(line, now.serverUnderruns - before.serverUnderruns,
           "server underruns (the sound server fell behind)");
  Describe(line, now.slowRenders - before.slowRenders, "slow renders (the mixer was too slow)");
  Describe(line, now.steals - before.steals, "voices stolen");
  Describe(line, now.dropped - before.dropped, "plays dropped");
  return line.empty() ? line : "Korvanto sound: " + line;
}

}  // namespace soundtrouble

SoundTroubleLog::SoundTroubleLog(UiThread& ui, std::function<void(const std::string&)> write)
    : write_(std::move(write)), seen_(soundtrouble::Totals()) {
  timer_ = ui.StartTimer(std::chrono::seconds(1), [this] {
    const SoundTroubleCounts now = soundtrouble::Totals();
    const std::string line = soundtrouble::Describe(seen_, now);
    seen_ = now;
    if (!line.empty() && write_) write_(line);
  });
}
