#pragma once
// The sample editor's 32 slots as pattern and song files reach them.
#include "pattern/SlotAccess.h"

class SampleEditor;

class EditorSlotAccess : public SlotAccess {
 public:
  explicit EditorSlotAccess(SampleEditor& editor) : editor_(editor) {}

  std::string FileName(int n) override;
  int64_t Frequency(int n) override;
  int32_t Pan(int n) override;
  void LoadFile(int n, const std::string& path) override;
  void SetFrequency(int n, int64_t frequency) override;
  void SetBaseFrequency(int n, int64_t frequency) override;
  void SetPan(int n, int32_t pan) override;
  // Through the editor's OnSlotButtonCaption, which the Extra samples
  // window listens to.
  void SetButtonCaption(int n, const std::string& caption) override;
  void MarkHoldingSample() override;
  // The editor's Pitch bar shows the frequency, clamped to its range.
  void SetFrequencyBar(int64_t frequency) override;

 private:
  SampleEditor& editor_;
};
