#pragma once
// Preparing a render: the sounds it reads are written afresh to the home
// folder's temp folder, kit entry n as temp/n.wav and sample slot i as
// temp/sample<i>.wav, each in the kit's own WAV layout.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

class TWaveCollection;
class SampleSlots;

// What the render takes from a sample slot.
struct SlotSound {
  std::string fileName = "Blank.wav";  // the file the slot reads (a decoded WAV for other formats)
  std::int64_t frequency = 0;          // Hz; 0 plays at the file's own rate
  std::int32_t pan = 0;                // hundredths of a decibel, -4000 .. 4000
  std::int32_t volume = 0;             // hundredths of a decibel, -4000 .. 0
};
using SlotSounds = std::array<SlotSound, 32>;

// The slots as the sample editor holds them.
SlotSounds SlotSoundsOf(SampleSlots& slots);

std::filesystem::path KitWorkFile(const std::filesystem::path& home, int index);

// Deletes the kit files (0 .. lastKitIndex) and the 32 slot files; a file
// that does not exist is no error. The temp folder is made when missing.
void DeleteRenderFiles(const std::filesystem::path& home, int lastKitIndex);
// Every kit entry's wave as temp/n.wav; an entry without a wave gives an
// empty file.
void ExportKit(const std::filesystem::path& home, const TWaveCollection& kit);
// Every slot's file read and written again as temp/sample<i>.wav; a slot
// named exactly "Blank.wav" is the home folder's. The file's error when a
// slot's file can't be read.
void ExportSlots(const std::filesystem::path& home, const SlotSounds& slots);
