#include "kit/SoundWindow.h"

#include <vector>

void SoundWindow::RecreateHandle(uintptr_t handle) {
  handle_ = handle;
  std::vector<std::function<void(uintptr_t)>> hooks;
  for (auto& [id, hook] : hooks_) hooks.push_back(hook);
  for (auto& hook : hooks) hook(handle);
}

int SoundWindow::Hook(std::function<void(uintptr_t)> handleChanged) {
  hooks_[nextId_] = std::move(handleChanged);
  return nextId_++;
}
