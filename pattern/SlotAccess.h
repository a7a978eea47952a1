#pragma once
// The 32 sample slots as pattern and song files see them: what a save
// writes and the few steps a load takes. The sample editor's slots stand
// behind it in the program; tests put a plain record there.
#include <cstdint>
#include <string>

class SlotAccess {
 public:
  static constexpr int kCount = 32;
  static constexpr const char* kBlankName = "Blank.wav";

  virtual ~SlotAccess() = default;

  virtual std::string FileName(int n) = 0;
  virtual int64_t Frequency(int n) = 0;
  virtual int32_t Pan(int n) = 0;

  // Opens the file into slot n.
  virtual void LoadFile(int n, const std::string& path) = 0;
  virtual void SetFrequency(int n, int64_t frequency) = 0;
  // The frequency semitone steps start from.
  virtual void SetBaseFrequency(int n, int64_t frequency) = 0;
  virtual void SetPan(int n, int32_t pan) = 0;

  // The caption of slot n's button in the Extra samples window.
  virtual void SetButtonCaption(int n, const std::string& caption) = 0;
  // The sample editor holds a sample: its play button and bars come alive.
  virtual void MarkHoldingSample() = 0;
  // The sample editor's pitch bar shows this frequency.
  virtual void SetFrequencyBar(int64_t frequency) = 0;
};

// Slots as a fresh start leaves them: every one empty, nothing to load into.
class EmptySlotAccess : public SlotAccess {
 public:
  std::string FileName(int) override { return kBlankName; }
  int64_t Frequency(int) override { return 44100; }
  int32_t Pan(int) override { return 0; }
  void LoadFile(int, const std::string&) override {}
  void SetFrequency(int, int64_t) override {}
  void SetBaseFrequency(int, int64_t) override {}
  void SetPan(int, int32_t) override {}
  void SetButtonCaption(int, const std::string&) override {}
  void MarkHoldingSample() override {}
  void SetFrequencyBar(int64_t) override {}
};
