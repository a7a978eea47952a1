#pragma once
// How a long decode shows itself and learns to stop. The program installs
// one that shows a progress dialog over the window that asked; the command
// line reports clipping on standard error; tests record.
#include <cstdint>
#include <filesystem>

class DecodeWatch {
 public:
  virtual ~DecodeWatch() = default;
  // A decode of source begins; about total frames will follow.
  virtual void Begin(const std::filesystem::path& source, std::int64_t total) {
    (void)source;
    (void)total;
  }
  // done frames are decoded. False cancels the decode.
  virtual bool Continue(std::int64_t done) {
    (void)done;
    return true;
  }
  // The decode is over: finished, failed or cancelled.
  virtual void End() {}
  // The file ends before the sound its header declares; what is there was
  // decoded.
  virtual void ShorterThanHeader(const std::filesystem::path& source) { (void)source; }
  // samples float samples lay beyond full scale and were clipped.
  virtual void Clipped(const std::filesystem::path& source, std::int64_t samples) {
    (void)source;
    (void)samples;
  }
};

// The installed watch, or a quiet one. Used on the UI thread only.
DecodeWatch& CurrentDecodeWatch();
// Installs watch (not owned; null for the quiet one).
void SetDecodeWatch(DecodeWatch* watch);

// Installs a watch for a scope and puts the previous one back.
class DecodeWatchScope {
 public:
  explicit DecodeWatchScope(DecodeWatch& watch);
  ~DecodeWatchScope();
  DecodeWatchScope(const DecodeWatchScope&) = delete;
  DecodeWatchScope& operator=(const DecodeWatchScope&) = delete;

 private:
  DecodeWatch* previous_;
};
