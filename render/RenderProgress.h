#pragma once
// What a render tells whoever watches it, and how it learns to stop. The
// render window shows it; the command line prints it; tests record it.
#include <cstdint>
#include <string>

class RenderProgress {
 public:
  virtual ~RenderProgress() = default;
  // The render is under way; Advance counts up to total.
  virtual void Begin(std::int64_t total) { (void)total; }
  virtual void Advance(std::int64_t done) { (void)done; }
  // The instrument whose hits are being added, as the chooser names it.
  virtual void Adding(const std::string& text) { (void)text; }
  // Asked between hits. A window lets pending events run here, so Stop can
  // arrive; true ends the render, which then saves what it has built.
  virtual bool Cancelled() { return false; }
  // The render is over, saved, cancelled or failed.
  virtual void End() {}
};

// Tells the watcher the work is over however it ends.
class RenderProgressScope {
 public:
  RenderProgressScope(RenderProgress& progress, std::int64_t total) : progress_(progress) {
    progress_.Begin(total);
  }
  ~RenderProgressScope() { progress_.End(); }
  RenderProgressScope(const RenderProgressScope&) = delete;
  RenderProgressScope& operator=(const RenderProgressScope&) = delete;

 private:
  RenderProgress& progress_;
};
