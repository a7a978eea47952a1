#include "song/RecoveryWriter.h"

RecoveryWriter::RecoveryWriter(const std::filesystem::path& home, const std::string& folder,
                               std::function<void(const std::string& message)> trouble)
    : files_(home, folder), trouble_(std::move(trouble)), thread_([this] { Run(); }) {}

RecoveryWriter::~RecoveryWriter() {
  End();
}

void RecoveryWriter::Keep(RecoveryWork work) {
  std::unique_lock lock(mutex_);
  if (!ending_) {
    pending_ = std::move(work);
    lock.unlock();
    wake_.notify_all();
    return;
  }
  // The thread has ended: written here.
  idle_.wait(lock, [this] { return !busy_; });
  Write(work);
}

void RecoveryWriter::Flush() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return !busy_ && !pending_; });
}

void RecoveryWriter::Remove() {
  std::unique_lock lock(mutex_);
  pending_.reset();
  idle_.wait(lock, [this] { return !busy_; });
  // Under the lock: the thread can't take up another write meanwhile.
  files_.Remove();
}

void RecoveryWriter::End() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void RecoveryWriter::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return ending_ || pending_; });
    if (!pending_) return;
    RecoveryWork work = std::move(*pending_);
    pending_.reset();
    busy_ = true;
    lock.unlock();
    Write(work);
    lock.lock();
    busy_ = false;
    idle_.notify_all();
  }
}

void RecoveryWriter::Write(const RecoveryWork& work) {
  try {
    files_.Keep(work);
  } catch (const std::exception& error) {
    if (trouble_) trouble_(error.what());
  }
}
