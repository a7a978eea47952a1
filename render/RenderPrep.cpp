#include "render/RenderPrep.h"

#include <system_error>

#include "kit/Wave.h"
#include "kit/WaveCollection.h"
#include "pattern/HomeFiles.h"
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
    sound.frequency = slots.Frequency(n);
    sound.pan = slots.Pan(n);
    sound.volume = slots.Volume(n);
  }
  return sounds;
}

fs::path KitWorkFile(const fs::path& home, int index) {
  return home / "temp" / (std::to_string(index) + ".wav");
}

void DeleteRenderFiles(const fs::path& home, int lastKitIndex) {
  std::error_code ignored;
  fs::create_directories(home / "temp", ignored);
  for (int n = 0; n <= lastKitIndex; ++n) RemoveWritable(KitWorkFile(home, n));
  for (int i = 1; i <= 32; ++i) RemoveWritable(SampleWorkFile(home, i));
}

void ExportKit(const fs::path& home, const TWaveCollection& kit) {
  for (int n = 0; n < kit.Count(); ++n) kit[n].Wave().SaveToFile(KitWorkFile(home, n));
}

void ExportSlots(const fs::path& home, const SlotSounds& slots) {
  for (int i = 1; i <= 32; ++i) {
    std::string name = slots[i - 1].fileName;
    fs::path path = name == "Blank.wav" ? home / name : fs::path(name);
    Wave::TWave wave;
    wave.LoadFromFile(path);
    wave.SaveToFile(SampleWorkFile(home, i));
  }
}
