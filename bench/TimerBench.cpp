// Tick lateness of the thread timer against each tick's due time (the
// previous due time plus the interval), and the worker's CPU use, for the
// precise wait and the old sleep-then-spin wait side by side.
//   bench_timer [seconds per measurement, default 30] [spin margin in us]
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "common/ManualUiThread.h"
#include "song/SuperTimer.h"

using namespace std::chrono;

namespace {

double CpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// CPU time of every thread but this one: here, the timer's worker.
double OtherThreadsCpu() {
  return CpuSeconds(RUSAGE_SELF) - CpuSeconds(RUSAGE_THREAD);
}

struct Measurement {
  std::vector<double> lateMs;
  // From the end of the wait to the handler starting on the UI thread.
  std::vector<double> handoverMs;
  double cpuPercent = 0;
};

Measurement Measure(supertimer::WaitOptions wait, int intervalMs, seconds length) {
  Measurement result;
  const double cpuBefore = OtherThreadsCpu();
  const auto started = steady_clock::now();
  {
    ManualUiThread ui;
    TSuperTimer timer(ui, wait);
    bool first = true;
    timer.OnTimer = [&](TSuperTimer& sender) {
      const auto woke = sender.WakeTime();
      result.handoverMs.push_back(
          duration<double, std::milli>(TSuperTimer::Clock::now() - woke).count());
      // The first tick's due time counts from the enabling, not from a wait.
      if (!first)
        result.lateMs.push_back(duration<double, std::milli>(woke - sender.TickTime()).count());
      first = false;
    };
    timer.SetInterval(static_cast<std::uint16_t>(intervalMs));
    timer.SetEnabled(true);
    const auto end = started + length;
    while (steady_clock::now() < end)
      if (ui.ProcessPending() == 0) std::this_thread::sleep_for(50us);
  }
  const double wall = duration<double>(steady_clock::now() - started).count();
  result.cpuPercent = 100.0 * (OtherThreadsCpu() - cpuBefore) / wall;
  return result;
}

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const auto index = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(index, values.size() - 1)];
}

void Report(const Measurement& m, const std::string& suffix) {
  const auto& late = m.lateMs;
  std::printf("BENCH tick_late_p50_ms%s %.4f ms\n", suffix.c_str(), Percentile(late, 0.50));
  std::printf("BENCH tick_late_p99_ms%s %.4f ms\n", suffix.c_str(), Percentile(late, 0.99));
  std::printf("BENCH tick_late_max_ms%s %.4f ms\n", suffix.c_str(), Percentile(late, 1.0));
  // Below zero: a tick that came before its due time.
  std::printf("BENCH tick_late_min_ms%s %.4f ms\n", suffix.c_str(), Percentile(late, 0.0));
  std::printf("BENCH tick_handover_p99_ms%s %.4f ms\n", suffix.c_str(),
              Percentile(m.handoverMs, 0.99));
  std::printf("BENCH tick_count%s %zu ticks\n", suffix.c_str(), late.size() + 1);
  std::printf("BENCH tick_cpu_percent%s %.2f %%\n", suffix.c_str(), m.cpuPercent);
  std::fflush(stdout);
}

// Whether the workers' default priority gets real-time scheduling here; the
// figures under load depend on it.
bool RealTimePermitted() {
  bool permitted = false;
  std::thread([&] {
    supertimer::ApplyThreadPriority(supertimer::CurrentThreadHandle(), tpHigher);
    int policy = 0;
    sched_param param{};
    pthread_getschedparam(pthread_self(), &policy, &param);
    permitted = policy == SCHED_FIFO;
  }).join();
  return permitted;
}

}  // namespace

int main(int argc, char** argv) {
  const seconds duration(argc > 1 ? std::max(1, std::atoi(argv[1])) : 30);
  supertimer::WaitOptions precise;
  if (argc > 2) precise.spinMargin = microseconds(std::max(0, std::atoi(argv[2])));
  const supertimer::WaitOptions old{supertimer::WaitKind::SleepThenSpin};
  std::printf("BENCH tick_worker_realtime %d bool\n", RealTimePermitted() ? 1 : 0);

  for (const auto& [wait, name] : {std::pair{precise, std::string()}, {old, std::string("_spin")}})
    for (int interval : {120, 2})
      Report(Measure(wait, interval, duration), "_" + std::to_string(interval) + name);
  return 0;
}
