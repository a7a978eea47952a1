#pragma once
// A timer whose ticks run on the UI thread with sub-millisecond precision.
// A worker thread waits for each due time and hands the tick over
// synchronously, so tick handlers may touch every model and sound object.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "common/UiHandover.h"
#include "common/UiThread.h"
#include "song/SuperTimerPriority.h"
#include "song/SuperTimerWait.h"

class TSuperTimer;

// The worker of one timer: waits for each due time and hands the tick to
// the UI thread. Lives from the timer's first enabling to its destruction.
class TTimerThread {
 public:
  explicit TTimerThread(TSuperTimer& timer);
  // The timer has asked it to terminate and voided its hand-over before.
  ~TTimerThread();
  TTimerThread(const TTimerThread&) = delete;
  TTimerThread& operator=(const TTimerThread&) = delete;

 private:
  void Execute();

  TSuperTimer& timer_;
  std::thread thread_;
};

class TSuperTimer {
 public:
  using Clock = supertimer::Clock;
  using NotifyEvent = std::function<void(TSuperTimer& sender)>;
  using ErrorEvent = std::function<void(const std::string& message)>;

  // All members are for the UI thread, which the timer's ticks run on. A tick
  // handler may disable its own timer or change its interval, but must not
  // destroy it (schedule that for later on the UI thread).
  explicit TSuperTimer(UiThread& ui, supertimer::WaitOptions wait = {});
  virtual ~TSuperTimer();
  TSuperTimer(const TSuperTimer&) = delete;
  TSuperTimer& operator=(const TSuperTimer&) = delete;

  // The program ends by exit(): disables the timer and joins its worker
  // for good, as destruction would.
  void EndWorker();

  bool Enabled() const { return enabled_; }
  // Enabling goes on with the clock where it stood; the first tick comes one
  // interval later. A timer whose interval is 0 stays disabled. Once
  // disabled, no tick runs, not even one already handed over.
  void SetEnabled(bool value);

  std::uint16_t Interval() const { return interval_; }
  // 0 disables. Set inside a tick handler, the next tick still comes at the
  // later of the due time already fixed (the old interval on) and the new
  // interval less 50 ms after the handler; the gaps after it are the new one.
  void SetInterval(std::uint16_t milliseconds);

  // When the next tick is due, instead of an interval after the last: set
  // inside a tick handler, for the tick after it; set while disabled, for
  // the first tick of the next enabling; set otherwise, the wait under way
  // starts again for it. A moment already past makes the tick come at once.
  void ScheduleNext(Clock::time_point due);

  // The clock the intervals are counted on runs pace times as fast as the
  // steady clock: the sound device's, so steps fall on exact frame counts
  // of a device whose crystal runs fast or slow. Elapsed counts that clock
  // too. Takes effect at the next enabling, so a run keeps one pace.
  double Pace() const { return nextPace_; }
  void SetPace(double pace);

  TThreadPriority ThreadPriority() const { return priority_; }
  void SetThreadPriority(TThreadPriority priority);

  bool CountDown() const { return countDown_; }
  // While enabled the clock goes on from where it stood, the other way.
  void SetCountDown(bool value);

  // The running clock in ms, updated just before each tick.
  std::int64_t Elapsed() const { return elapsed_; }
  void SetElapsed(std::int64_t milliseconds);
  // Elapsed div Interval, truncated toward zero; 0 while the interval is 0.
  std::int64_t Ticks() const;
  // The tick count at which the timer stops itself; 0 or below: never when
  // counting up, at 0 when counting down.
  std::int64_t TickLimit() const { return tickLimit_; }
  void SetTickLimit(std::int64_t ticks) { tickLimit_ = ticks; }

  // When the current tick was due: the moment it stands for.
  Clock::time_point TickTime() const { return tickTime_; }
  // When the wait for the current tick really ended.
  Clock::time_point WakeTime() const { return wakeTime_; }

  NotifyEvent OnTimer;
  // Runs when the timer stops itself at its tick limit.
  NotifyEvent OnStop;
  // Receives the message of an error that escaped OnTimer or OnStop; the
  // timer goes on ticking. Without it such errors are dropped.
  ErrorEvent OnError;

 protected:
  // Runs on the UI thread for each tick: OnTimer, then the tick limit.
  virtual void DispatchTick();

 private:
  friend class TTimerThread;
  class WorkerSleeper;

  void Deliver(std::uint64_t generation, Clock::time_point due, supertimer::WaitEnd end);
  void RunHandler(const NotifyEvent& handler);
  void ReportError(const std::string& message);
  void RestartClock();
  void StartWorker();
  void ApplyPriority();
  // An interval of the paced clock in steady-clock time.
  Clock::duration Paced(std::chrono::milliseconds interval) const;

  const supertimer::WaitOptions wait_;
  UiHandover handover_;

  // Written only on the UI thread. Those the worker reads are written under
  // mutex_, so the UI thread reads them without it.
  bool enabled_ = false;
  std::uint16_t interval_ = 1000;
  double nextPace_ = 1.0;
  double pace_ = 1.0;  // of this run
  TThreadPriority priority_ = tpHigher;
  bool countDown_ = false;
  std::int64_t elapsed_ = 0;
  std::int64_t tickLimit_ = -1;
  std::int64_t baseElapsed_ = 0;
  Clock::time_point startTime_{};
  Clock::time_point tickTime_{};
  Clock::time_point wakeTime_{};

  std::mutex mutex_;
  std::condition_variable wake_;
  // Changes at every enabling and disabling: a wait or tick of an earlier
  // generation is void.
  std::atomic<std::uint64_t> generation_{0};
  Clock::time_point nextDue_{};
  std::optional<Clock::time_point> scheduled_;  // what ScheduleNext asked for
  bool inTick_ = false;
  bool terminated_ = false;
  supertimer::ThreadHandle workerHandle_{};
  std::unique_ptr<TTimerThread> worker_;
};
