#include "song/EditorSlotAccess.h"

#include "common/Exception.h"
#include "render/SampleEditor.h"

std::string EditorSlotAccess::FileName(int n) {
  return editor_.Slots().FileName(n);
}

int64_t EditorSlotAccess::Frequency(int n) {
  try {
    return editor_.Slots().Frequency(n);
  } catch (const EDirectSoundBufferError&) {
    return frequencies_[n] ? frequencies_[n] : editor_.Slots().BaseFrequency(n);
  }
}

int32_t EditorSlotAccess::Pan(int n) {
  try {
    return editor_.Slots().Pan(n);
  } catch (const EDirectSoundBufferError&) {
    return pans_[n];
  }
}

void EditorSlotAccess::LoadFile(int n, const std::string& path) {
  editor_.Slots().SetFileName(n, path);
}

void EditorSlotAccess::SetFrequency(int n, int64_t frequency) {
  try {
    editor_.Slots().SetFrequency(n, frequency);
  } catch (const EDirectSoundBufferError&) {
  }
  frequencies_[n] = frequency;  // n is a slot number: a bad one raised above
}

void EditorSlotAccess::SetBaseFrequency(int n, int64_t frequency) {
  editor_.Slots().SetBaseFrequency(n, frequency);
}

void EditorSlotAccess::SetPan(int n, int32_t pan) {
  try {
    editor_.Slots().SetPan(n, pan);
  } catch (const EDirectSoundBufferError&) {
  }
  pans_[n] = pan;
}

void EditorSlotAccess::SetButtonCaption(int n, const std::string& caption) {
  if (editor_.OnSlotButtonCaption) editor_.OnSlotButtonCaption(n, caption);
}

void EditorSlotAccess::MarkHoldingSample() {
  editor_.MarkHoldingSample();
}
