#pragma once
// Wakes a thread that watches a descriptor (the UI thread's event loop)
// from a thread that must never block or allocate: one eventfd.
class WakeSignal {
 public:
  WakeSignal();
  ~WakeSignal();
  WakeSignal(const WakeSignal&) = delete;
  WakeSignal& operator=(const WakeSignal&) = delete;

  // The descriptor turns readable; never blocks.
  void Notify();
  // Readable no more, until the next Notify.
  void Clear();
  int Fd() const { return fd_; }

 private:
  int fd_ = -1;
};
