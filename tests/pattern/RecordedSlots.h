#pragma once
// Slots for tests: plain per-slot values and a log of every change.
#include <array>
#include <set>
#include <string>
#include <vector>

#include "common/Exception.h"
#include "pattern/SlotAccess.h"

class RecordedSlots : public SlotAccess {
 public:
  struct Slot {
    std::string file = kBlankName;
    int64_t frequency = 22050;
    int64_t base = 22050;
    int32_t pan = 0;
    std::string caption;
  };

  std::array<Slot, kCount> slots;
  std::vector<std::string> log;
  int holdingMarks = 0;
  int64_t frequencyBar = -1;
  std::set<std::string> unreadable;  // files LoadFile refuses

  Slot& operator[](int n) { return slots.at(n - 1); }

  std::string FileName(int n) override { return (*this)[n].file; }
  int64_t Frequency(int n) override { return (*this)[n].frequency; }
  int32_t Pan(int n) override { return (*this)[n].pan; }
  void LoadFile(int n, const std::string& path) override {
    Note("load", n, path);
    if (unreadable.count(path)) throw EFOpenError(path);
    (*this)[n].file = path;
  }
  void SetFrequency(int n, int64_t frequency) override {
    Note("frequency", n, std::to_string(frequency));
    (*this)[n].frequency = frequency;
  }
  void SetBaseFrequency(int n, int64_t frequency) override {
    Note("base", n, std::to_string(frequency));
    (*this)[n].base = frequency;
  }
  void SetPan(int n, int32_t pan) override {
    Note("pan", n, std::to_string(pan));
    (*this)[n].pan = pan;
  }
  void SetButtonCaption(int n, const std::string& caption) override {
    Note("caption", n, caption);
    (*this)[n].caption = caption;
  }
  void MarkHoldingSample() override { ++holdingMarks; }
  void SetFrequencyBar(int64_t frequency) override { frequencyBar = frequency; }

 private:
  void Note(const char* what, int n, const std::string& value) {
    log.push_back(std::string(what) + " " + std::to_string(n) + " " + value);
  }
};
