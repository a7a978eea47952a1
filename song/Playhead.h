#pragma once
// Where the players are, for the windows: each step the player placed, with
// the output frame (or the moment) it sounds at. The player writes and the
// windows read without either waiting: a small ring of marks, each guarded
// by its own sequence number.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>

struct PlayheadMark {
  enum class Kind : int { None, Pattern, Song };
  Kind kind = Kind::None;  // None: nothing sounds from this mark on
  // The grid row (pattern player) or the position in the play sequence (song).
  int64_t where = 0;
  int64_t frame = -1;    // the output frame it sounds at; -1: placed by moment
  int64_t momentNs = 0;  // steady clock, when placed by moment
};

class PlayheadRecord {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr int kMarks = 32;

  // ---- the player's thread ----
  void Publish(const PlayheadMark& mark);
  // Nothing sounds any more, at once (the player was stopped): a mark of
  // no frame at the clock's first moment, come for every reader.
  void Clear() { Publish(PlayheadMark{}); }

  // ---- any thread ----
  // The latest mark whose sound time has come: by frame against heardFrame
  // when it has one, else by moment against now. Nothing before the first
  // mark or after a None mark.
  std::optional<PlayheadMark> Sounding(std::optional<int64_t> heardFrame,
                                       Clock::time_point now) const;
  // Whether the last mark says nothing sounds and its time has come: the
  // players placed no step still to be heard.
  bool Finished(std::optional<int64_t> heardFrame, Clock::time_point now) const;

 private:
  struct Slot {
    std::atomic<uint64_t> sequence{0};  // odd while written
    std::atomic<int> kind{0};
    std::atomic<int64_t> where{0}, frame{-1}, momentNs{0};
  };
  std::optional<PlayheadMark> Read(const Slot& slot) const;
  static bool HasCome(const PlayheadMark& mark, std::optional<int64_t> heardFrame, int64_t nowNs);

  std::array<Slot, kMarks> slots_;
  std::atomic<uint64_t> published_{0};
};

// Nanoseconds of the steady clock, as the marks keep moments.
inline int64_t PlayheadMoment(PlayheadRecord::Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}
