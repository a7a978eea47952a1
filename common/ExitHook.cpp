#include "common/ExitHook.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace {

std::atomic<ExitHook*> g_armed{nullptr};

extern "C" void RunExitHook() {
  ExitHook::RunArmed();
}

}  // namespace

ExitHook::ExitHook(std::function<void()> onThisThread, std::function<void()> anyThread)
    : onThisThread_(std::move(onThisThread)),
      anyThread_(std::move(anyThread)),
      owner_(std::this_thread::get_id()) {
  static std::once_flag registered;
  std::call_once(registered, [] { std::atexit(RunExitHook); });
  g_armed = this;
}

ExitHook::~ExitHook() {
  ExitHook* self = this;
  g_armed.compare_exchange_strong(self, nullptr);
}

void ExitHook::RunArmed() {
  ExitHook* hook = g_armed.exchange(nullptr);
  if (!hook) return;
  auto run = [](const std::function<void()>& stop) {
    if (!stop) return;
    try {
      stop();
    } catch (...) {
      // The program is ending: what could not stop is left to the kernel.
    }
  };
  if (std::this_thread::get_id() == hook->owner_) run(hook->onThisThread_);
  run(hook->anyThread_);
}
