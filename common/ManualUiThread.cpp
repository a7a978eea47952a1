#include "common/ManualUiThread.h"

#include <algorithm>
#include <thread>

class ManualUiThread::Handle : public UiTimer {
 public:
  explicit Handle(std::shared_ptr<Timer> timer) : timer_(std::move(timer)) {}
  ~Handle() override { timer_->alive = false; }

 private:
  std::shared_ptr<Timer> timer_;
};

void ManualUiThread::Post(std::function<void()> task) {
  std::lock_guard lock(mutex_);
  tasks_.push_back(std::move(task));
}

std::unique_ptr<UiTimer> ManualUiThread::StartTimer(std::chrono::milliseconds period,
                                                    std::function<void()> tick) {
  auto timer = std::make_shared<Timer>(Timer{period, Clock::now() + period, std::move(tick)});
  timers_.push_back(timer);
  return std::make_unique<Handle>(timer);
}

int ManualUiThread::ProcessPending() {
  std::deque<std::function<void()>> tasks;
  {
    std::lock_guard lock(mutex_);
    tasks.swap(tasks_);
  }
  int ran = 0;
  for (auto& task : tasks) {
    task();
    ++ran;
  }
  const auto now = Clock::now();
  auto timers = timers_;  // a tick may start or stop timers
  for (auto& timer : timers) {
    if (timer->alive && timer->due <= now) {
      timer->due = now + timer->period;
      timer->tick();
      ++ran;
    }
  }
  std::erase_if(timers_, [](const auto& t) { return !t->alive; });
  return ran;
}

void ManualUiThread::PumpFor(std::chrono::milliseconds duration) {
  PumpUntil([] { return false; }, duration);
}

bool ManualUiThread::PumpUntil(const std::function<bool()>& condition,
                               std::chrono::milliseconds timeout) {
  const auto end = Clock::now() + timeout;
  while (!condition()) {
    if (Clock::now() >= end) return false;
    if (ProcessPending() == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return true;
}

void ManualUiThread::FireTimers() {
  auto timers = timers_;
  for (auto& timer : timers)
    if (timer->alive) timer->tick();
  std::erase_if(timers_, [](const auto& t) { return !t->alive; });
}

int ManualUiThread::LiveTimers() const {
  return static_cast<int>(std::count_if(timers_.begin(), timers_.end(),
                                        [](const auto& t) { return t->alive; }));
}
