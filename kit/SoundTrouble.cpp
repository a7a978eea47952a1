#include "kit/SoundTrouble.h"

namespace soundtrouble {
namespace {

struct Counters {
  std::atomic<int64_t> lateStarts{0}, lateCallbacks{0}, slowRenders{0}, steals{0}, dropped{0};
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

}  // namespace

void AddLateStart() { Add(Shared().lateStarts); }
void AddLateCallback() { Add(Shared().lateCallbacks); }
void AddSlowRender() { Add(Shared().slowRenders); }
void AddSteal() { Add(Shared().steals); }
void AddDropped() { Add(Shared().dropped); }

SoundTroubleCounts Totals() {
  const Counters& c = Shared();
  return {c.lateStarts.load(), c.lateCallbacks.load(), c.slowRenders.load(), c.steals.load(),
          c.dropped.load()};
}

std::string Describe(const SoundTroubleCounts& before, const SoundTroubleCounts& now) {
  std::string line;
  Describe(line, now.lateStarts - before.lateStarts, "late starts (sounds placed late)");
  Describe(line, now.lateCallbacks - before.lateCallbacks,
           "late callbacks (the system ran the sound thread late)");
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
