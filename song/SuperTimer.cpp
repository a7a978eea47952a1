#include "song/SuperTimer.h"

#include <algorithm>
#include <exception>
#include <new>

using namespace std::chrono;

// The worker's sleep: woken early when the timer is disabled, re-enabled or
// destroyed.
class TSuperTimer::WorkerSleeper : public supertimer::Sleeper {
 public:
  WorkerSleeper(TSuperTimer& timer, std::uint64_t generation)
      : timer_(timer), generation_(generation) {}

  bool SleepUntil(Clock::time_point until) override {
    std::unique_lock lock(timer_.mutex_);
    return !timer_.wake_.wait_until(lock, until, [this] { return Void(); });
  }
  bool Interrupted() const override { return timer_.generation_.load() != generation_; }

 private:
  bool Void() const { return timer_.terminated_ || Interrupted(); }

  TSuperTimer& timer_;
  const std::uint64_t generation_;
};

TTimerThread::TTimerThread(TSuperTimer& timer) : timer_(timer), thread_([this] { Execute(); }) {}

TTimerThread::~TTimerThread() {
  thread_.join();
}

void TTimerThread::Execute() {
  supertimer::TightenTimerSlack();
  {
    std::lock_guard lock(timer_.mutex_);
    timer_.workerHandle_ = supertimer::CurrentThreadHandle();
    timer_.ApplyPriority();
  }
  std::unique_lock lock(timer_.mutex_);
  for (;;) {
    timer_.wake_.wait(lock, [this] { return timer_.terminated_ || timer_.enabled_; });
    if (timer_.terminated_) return;
    const std::uint64_t generation = timer_.generation_.load();
    const auto due = timer_.nextDue_;
    const milliseconds interval(timer_.interval_);
    lock.unlock();

    TSuperTimer::WorkerSleeper sleeper(timer_, generation);
    const auto end = supertimer::WaitForDue(timer_.wait_, sleeper, due, interval);
    if (end)
      timer_.handover_.Invoke(
          [this, generation, due, end = *end] { timer_.Deliver(generation, due, end); });
    const auto handedBack = TSuperTimer::Clock::now();

    lock.lock();
    if (end && timer_.generation_.load() == generation) {
      timer_.nextDue_ = timer_.scheduled_
                            ? *timer_.scheduled_
                            : supertimer::NextDue(due, timer_.Paced(interval), handedBack,
                                                  timer_.Paced(milliseconds(timer_.interval_)));
      timer_.scheduled_.reset();
    }
  }
}

TSuperTimer::TSuperTimer(UiThread& ui, supertimer::WaitOptions wait) : wait_(wait), handover_(ui) {}

TSuperTimer::~TSuperTimer() {
  EndWorker();
}

void TSuperTimer::EndWorker() {
  SetEnabled(false);
  {
    std::lock_guard lock(mutex_);
    terminated_ = true;
  }
  wake_.notify_all();
  // The worker may wait for this thread: void that call before joining.
  handover_.Abandon();
  worker_.reset();
}

void TSuperTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  if (value && interval_ == 0) return;  // nothing could divide the clock into ticks
  if (value) {
    RestartClock();
    {
      std::lock_guard lock(mutex_);
      enabled_ = true;
      ++generation_;
      pace_ = nextPace_;
      nextDue_ = scheduled_.value_or(startTime_ + Paced(milliseconds(interval_)));
      scheduled_.reset();
    }
    handover_.Rearm();
    if (!worker_) StartWorker();
  } else {
    {
      std::lock_guard lock(mutex_);
      enabled_ = false;
      scheduled_.reset();
      ++generation_;
    }
    // A tick already handed over returns without running.
    handover_.Abandon();
  }
  wake_.notify_all();
}

void TSuperTimer::SetInterval(std::uint16_t milliseconds) {
  if (milliseconds == interval_) return;
  if (milliseconds == 0) SetEnabled(false);
  std::lock_guard lock(mutex_);
  interval_ = milliseconds;
}

void TSuperTimer::ScheduleNext(Clock::time_point due) {
  {
    std::lock_guard lock(mutex_);
    if (!enabled_ || inTick_) {
      scheduled_ = due;
      return;
    }
    // The worker waits for the old due time: void that wait.
    nextDue_ = due;
    scheduled_.reset();
    ++generation_;
  }
  wake_.notify_all();
}

void TSuperTimer::SetPace(double pace) {
  if (pace > 0) nextPace_ = pace;
}

TSuperTimer::Clock::duration TSuperTimer::Paced(milliseconds interval) const {
  return std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double, std::milli>(interval.count() / pace_));
}

void TSuperTimer::SetThreadPriority(TThreadPriority priority) {
  if (priority == priority_) return;
  std::lock_guard lock(mutex_);
  priority_ = priority;
  ApplyPriority();
}

void TSuperTimer::SetCountDown(bool value) {
  if (value == countDown_) return;
  countDown_ = value;
  if (enabled_) RestartClock();
}

void TSuperTimer::SetElapsed(std::int64_t milliseconds) {
  elapsed_ = milliseconds;
  if (enabled_) RestartClock();
}

std::int64_t TSuperTimer::Ticks() const {
  return interval_ == 0 ? 0 : elapsed_ / interval_;
}

void TSuperTimer::DispatchTick() {
  RunHandler(OnTimer);
  const bool goesOn =
      countDown_ ? Ticks() > tickLimit_ && elapsed_ > 0 : Ticks() < tickLimit_ || tickLimit_ <= 0;
  if (goesOn) return;
  SetEnabled(false);
  RunHandler(OnStop);
}

void TSuperTimer::Deliver(std::uint64_t generation, Clock::time_point due,
                          supertimer::WaitEnd end) {
  if (!enabled_ || generation_.load() != generation) return;
  tickTime_ = due;
  wakeTime_ = end.actual;
  // A reading taken before the clock was restarted counts as no time at all.
  const auto run = std::max(
      duration_cast<milliseconds>(duration<double, std::nano>(end.reading - startTime_) * pace_)
          .count(),
      std::int64_t{0});
  elapsed_ = countDown_ ? baseElapsed_ - run : baseElapsed_ + run;
  struct InTick {
    TSuperTimer& timer;
    explicit InTick(TSuperTimer& t) : timer(t) { Set(true); }
    ~InTick() { Set(false); }
    void Set(bool value) {
      std::lock_guard lock(timer.mutex_);
      timer.inTick_ = value;
    }
  } inTick(*this);
  try {
    DispatchTick();
  } catch (const std::exception& error) {
    ReportError(error.what());
  } catch (...) {
    ReportError("Unknown error");
  }
}

void TSuperTimer::RunHandler(const NotifyEvent& handler) {
  if (!handler) return;
  try {
    handler(*this);
  } catch (const std::bad_alloc&) {
    ReportError("Out of memory");
  } catch (const std::exception& error) {
    ReportError(error.what());
  } catch (...) {
    ReportError("Unknown error");
  }
}

void TSuperTimer::ReportError(const std::string& message) {
  if (!OnError) return;
  try {
    OnError(message);
  } catch (...) {
    // The report itself failed; the worker must go on all the same.
  }
}

void TSuperTimer::RestartClock() {
  baseElapsed_ = elapsed_;
  startTime_ = Clock::now();
}

void TSuperTimer::StartWorker() {
  worker_ = std::make_unique<TTimerThread>(*this);
}

// Called with mutex_ held.
void TSuperTimer::ApplyPriority() {
  supertimer::ApplyThreadPriority(workerHandle_, priority_);
}
