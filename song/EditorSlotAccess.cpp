#include "song/EditorSlotAccess.h"

#include "render/SampleEditor.h"

std::string EditorSlotAccess::FileName(int n) {
  return editor_.Slots().FileName(n);
}

int64_t EditorSlotAccess::Frequency(int n) {
  return editor_.Slots().Frequency(n);
}

int32_t EditorSlotAccess::Pan(int n) {
  return editor_.Slots().Pan(n);
}

void EditorSlotAccess::LoadFile(int n, const std::string& path) {
  editor_.Slots().SetFileName(n, path);
}

void EditorSlotAccess::SetFrequency(int n, int64_t frequency) {
  editor_.Slots().SetFrequency(n, frequency);
}

void EditorSlotAccess::SetBaseFrequency(int n, int64_t frequency) {
  editor_.Slots().SetBaseFrequency(n, frequency);
}

void EditorSlotAccess::SetPan(int n, int32_t pan) {
  editor_.Slots().SetPan(n, pan);
}

void EditorSlotAccess::SetButtonCaption(int n, const std::string& caption) {
  if (editor_.OnSlotButtonCaption) editor_.OnSlotButtonCaption(n, caption);
}

void EditorSlotAccess::MarkHoldingSample() {
  editor_.MarkHoldingSample();
}

void EditorSlotAccess::SetFrequencyBar(int64_t frequency) {
  editor_.ShowFrequencyBar(frequency);
}
