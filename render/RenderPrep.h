#pragma once
// Preparing a render: the sounds it reads are written afresh to a work
// folder (the windows': the home's temp folder), kit entry n as n.wav and
// sample slot i as sample<i>.wav, each in the kit's own WAV layout.
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
  std::string chosenFile = "";         // the file as the user chose it; empty: fileName
};
using SlotSounds = std::array<SlotSound, 32>;

// The slots as the sample editor holds them.
SlotSounds SlotSoundsOf(SampleSlots& slots);

// The windows' work folder: the home's temp folder.
std::filesystem::path HomeWorkFolder(const std::filesystem::path& home);
std::filesystem::path KitWorkFile(const std::filesystem::path& work, int index);
std::filesystem::path SlotWorkFile(const std::filesystem::path& work, int slot);
// The file a slot plays: one named exactly "Blank.wav" is the home's.
std::filesystem::path SlotFilePath(const std::filesystem::path& home, const SlotSound& slot);

// Deletes the kit files (0 .. lastKitIndex) and the 32 slot files of the
// work folder; a file that does not exist is no error. The folder is made
// when missing.
void DeleteRenderFiles(const std::filesystem::path& work, int lastKitIndex);
// Every kit entry's wave as work/n.wav; an entry without a wave gives an
// empty file.
void ExportKit(const std::filesystem::path& work, const TWaveCollection& kit);
// Every slot's file read and written again as work/sample<i>.wav. The file's
// error when a slot's file can't be read.
void ExportSlots(const std::filesystem::path& home, const std::filesystem::path& work,
                 const SlotSounds& slots);
