#pragma once
// The window a sound device belongs to, as the device sees it: a handle that
// the window system may recreate, with hooks told when it does.
#include <cstdint>
#include <functional>
#include <map>

class SoundWindow {
 public:
  explicit SoundWindow(uintptr_t handle = 1) : handle_(handle) {}
  SoundWindow(const SoundWindow&) = delete;
  SoundWindow& operator=(const SoundWindow&) = delete;

  uintptr_t Handle() const { return handle_; }
  // The window got a new handle: every hook hears of it.
  void RecreateHandle(uintptr_t handle);

  int Hook(std::function<void(uintptr_t)> handleChanged);
  void Unhook(int id) { hooks_.erase(id); }
  int HookCount() const { return static_cast<int>(hooks_.size()); }

 private:
  uintptr_t handle_;
  int nextId_ = 1;
  std::map<int, std::function<void(uintptr_t)>> hooks_;
};

// Hooks a window for as long as it lives.
class TControlSubClass {
 public:
  TControlSubClass(SoundWindow& window, std::function<void(uintptr_t)> handleChanged)
      : window_(window), id_(window.Hook(std::move(handleChanged))) {}
  ~TControlSubClass() { window_.Unhook(id_); }
  TControlSubClass(const TControlSubClass&) = delete;
  TControlSubClass& operator=(const TControlSubClass&) = delete;

 private:
  SoundWindow& window_;
  int id_;
};
