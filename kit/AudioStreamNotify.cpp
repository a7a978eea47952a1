#include "kit/AudioStreamNotify.h"

TAudioStreamNotify::TAudioStreamNotify(UiThread& ui, std::chrono::milliseconds period,
                                       std::function<void()> refill)
    : handover_(ui), period_(period), refill_(std::move(refill)), thread_([this] { Run(); }) {}

TAudioStreamNotify::~TAudioStreamNotify() {
  Signal();
  handover_.Abandon();
  thread_.join();
}

void TAudioStreamNotify::Signal() {
  {
    std::lock_guard lock(mutex_);
    signalled_ = true;
  }
  wake_.notify_all();
}

void TAudioStreamNotify::Run() {
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      if (wake_.wait_for(lock, period_, [this] { return signalled_; })) return;
    }
    if (!handover_.Invoke(refill_)) return;
  }
}
