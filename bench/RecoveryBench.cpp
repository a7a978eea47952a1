// One recovery tick as the window runs it every 10 s. On the UI thread: the
// unsaved work built in the file layouts and handed to the writer, which
// must stay within a few ms. On the writer's thread: compared with the last
// copy and written when it changed.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "pattern/PatternGrid.h"
#include "pattern/SlotAccess.h"
#include "song/PlayList.h"
#include "song/RecoveryFiles.h"
#include "song/SongSettings.h"
#include "song/RecoveryWriter.h"
#include "song/UnsavedChanges.h"

namespace fs = std::filesystem;

namespace {

struct Window {
  PatternGrid grid;
  PlayList playList;
  EmptySlotAccess slots;
  UnsavedChanges unsaved;
  PatternValues values;

  Window(int steps, int entries) {
    grid.WriteNewPattern(steps, 4);
    unsaved.PatternMet(grid, values);
    unsaved.SongMet(playList, slots, {}, std::nullopt);
    for (int s = 1; s <= steps; ++s)
      for (int c = 1; c <= 6; ++c) grid.SetCell(c, s + 1, "Kick      [5]");
    for (int e = 0; e < entries; ++e) playList.Append("Pattern" + std::to_string(e % 40));
  }
  RecoveryWork Work() { return UnsavedWork(unsaved, {}, grid, values, playList, slots); }
};

void Report(const char* name, std::vector<double> took) {
  std::sort(took.begin(), took.end());
  std::printf("# %s: min %.0f median %.0f max %.0f us\n", name, took.front(), took[took.size() / 2],
              took.back());
  std::printf("BENCH %s_median %.0f us\n", name, took[took.size() / 2]);
  std::printf("BENCH %s_max %.0f us\n", name, took.back());
}

template <typename F>
double Microseconds(F&& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
      .count();
}

// Each tick's cost on the UI thread and the write's on the writer's thread,
// with a user's edit between two ticks or none.
void Measure(const std::string& name, int steps, int entries, bool changing, const fs::path& home) {
  Window window(steps, entries);
  std::vector<double> ui, disk;
  {
    RecoveryWriter writer(home, RecoveryFiles::kSharedFolder, nullptr);
    RecoveryFiles files(home / "direct");
    for (int run = 0; run < 200; ++run) {
      if (changing) window.grid.SetCell(1, 2, run % 2 ? "Snare     [ ]" : "Kick      [ ]");
      ui.push_back(Microseconds([&] { writer.Keep(window.Work()); }));
      writer.Flush();
      const RecoveryWork work = window.Work();
      disk.push_back(Microseconds([&] { files.Keep(work); }));
    }
    writer.Remove();
    files.Remove();
  }
  Report(("recovery_tick_ui_" + name).c_str(), ui);
  Report(("recovery_write_" + name).c_str(), disk);
}

}  // namespace

int main() {
  const fs::path home =
      fs::temp_directory_path() / ("korvanto-bench-recovery-" + std::to_string(::getpid()));
  fs::create_directories(home);
  Measure("unchanged_16_steps", 16, 20, false, home);
  Measure("changed_16_steps", 16, 20, true, home);
  Measure("changed_999_steps_1000_entries", 999, 1000, true, home);
  fs::remove_all(home);
}
