#include "common/UiHandover.h"

bool UiHandover::Invoke(std::function<void()> task) {
  auto call = std::make_shared<Call>();
  {
    std::lock_guard lock(mutex_);
    if (abandoned_) return false;
    pending_ = call;
  }
  bool ran = false;
  ui_.Post([call, &ran, task = std::move(task)] {
    {
      std::lock_guard lock(call->mutex);
      if (call->abandoned) return;
    }
    task();
    std::lock_guard lock(call->mutex);
    // The worker may have stopped waiting meanwhile; then `ran` is gone.
    if (!call->abandoned) ran = true;
    call->finished = true;
    call->done.notify_all();
  });
  std::unique_lock lock(call->mutex);
  call->done.wait(lock, [&] { return call->finished || call->abandoned; });
  const bool result = ran;
  // From here on the closure must not touch `ran`.
  call->abandoned = true;
  return result;
}

void UiHandover::Abandon() {
  std::shared_ptr<Call> call;
  {
    std::lock_guard lock(mutex_);
    abandoned_ = true;
    call = pending_;
    pending_.reset();
  }
  if (!call) return;
  std::lock_guard lock(call->mutex);
  call->abandoned = true;
  call->done.notify_all();
}

void UiHandover::Rearm() {
  std::lock_guard lock(mutex_);
  abandoned_ = false;
}
