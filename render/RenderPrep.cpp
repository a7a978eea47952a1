#include "render/RenderPrep.h"

#include <system_error>

#include "common/Files.h"
#include "kit/Wave.h"
#include "kit/WaveCollection.h"
#include "render/SampleSlots.h"

namespace fs = std::filesystem;

namespace {

void RemoveWritable(const fs::path& path) {
  std::error_code ignored;
  // A read-only file would survive the delete on some systems.
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ignored);
  fs::remove(path, ignored);
}

}  // namespace

SlotSounds SlotSoundsOf(SampleSlots& slots) {
  SlotSounds sounds;
  for (int n = 1; n <= SampleSlots::kCount; ++n) {
    SlotSound& sound = sounds[n - 1];
    sound.fileName = slots.ReadableFile(n);
    sound.chosenFile = slots.FileName(n);
    sound.frequency = slots.Frequency(n);
    sound.pan = slots.Pan(n);
    sound.volume = slots.Volume(n);
  }
  return sounds;
}

fs::path HomeWorkFolder(const fs::path& home) {
  return home / "temp";
}

fs::path KitWorkFile(const fs::path& work, int index) {
  return work / (std::to_string(index) + ".wav");
}

fs::path SlotWorkFile(const fs::path& work, int slot) {
  return work / ("sample" + std::to_string(slot) + ".wav");
}

fs::path SlotFilePath(const fs::path& home, const SlotSound& slot) {
  return slot.fileName == "Blank.wav" ? home / slot.fileName : fs::path(slot.fileName);
}

void DeleteRenderFiles(const fs::path& work, int lastKitIndex) {
  std::error_code ignored;
  fs::create_directories(work, ignored);
  for (int n = 0; n <= lastKitIndex; ++n) RemoveWritable(KitWorkFile(work, n));
  for (int i = 1; i <= 32; ++i) RemoveWritable(SlotWorkFile(work, i));
}

void ExportKit(const fs::path& work, const TWaveCollection& kit) {
  for (int n = 0; n < kit.Count(); ++n) WriteWorkFile(KitWorkFile(work, n), kit[n].Wave().Image());
}

void ExportSlots(const fs::path& home, const fs::path& work, const SlotSounds& slots) {
  for (int i = 1; i <= 32; ++i) {
    Wave::TWave wave;
    wave.LoadFromFile(SlotFilePath(home, slots[i - 1]));
    WriteWorkFile(SlotWorkFile(work, i), wave.Image());
  }
}
