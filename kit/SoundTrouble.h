#pragma once
// What went wrong with timing in any of the program's sound devices, counted
// for the whole program, and a log that tells of it as it happens: the first
// thing to look at when the rhythm sounds wrong.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "common/UiThread.h"

struct SoundTroubleCounts {
  int64_t lateStarts = 0;       // plays whose onset was already rendered
  int64_t lateCallbacks = 0;    // stalls: the system did not run the sound thread in time
  int64_t serverUnderruns = 0;  // the sound server fell behind: every block came later
  int64_t slowRenders = 0;      // the mixer took longer than a block lasts
  int64_t steals = 0;           // voices taken from older sounds
  int64_t dropped = 0;          // plays that found no voice
};

namespace soundtrouble {
// Any thread: counts one more of each.
void AddLateStart();
// The device's callback at `when` came late, or showed the server fell
// behind. Every mixer on the device sees the same one: counted once.
void AddLateCallback(std::chrono::steady_clock::time_point when);
void AddServerUnderrun(std::chrono::steady_clock::time_point when);
void AddSlowRender();
void AddSteal();
void AddDropped();
SoundTroubleCounts Totals();
// One line on what grew from `before` to `now`; empty when nothing did.
std::string Describe(const SoundTroubleCounts& before, const SoundTroubleCounts& now);
}  // namespace soundtrouble

// Every second on the UI thread, writes a line when the counts grew.
class SoundTroubleLog {
 public:
  SoundTroubleLog(UiThread& ui, std::function<void(const std::string& line)> write);

 private:
  std::function<void(const std::string&)> write_;
  SoundTroubleCounts seen_;
  std::unique_ptr<UiTimer> timer_;
};
