#pragma once
// The 32 sample slots: streamed WAV players numbered 1 to 32, made on the
// sample editor's sound device, each with the base frequency its file was
// opened at and a pitch offset in cents. Players, loaders and the render
// reach a slot through here by number; nothing here needs a window.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kit/InstrumentPlay.h"
#include "kit/SoundImport.h"
#include "render/SlotShortName.h"

class TAudioFileStream;
class TDirectSound;
class TDXSound;
enum class TDXSoundNotifyType;
class UiThread;

class SampleSlots : public SlotPlayer {
 public:
  static constexpr int kCount = 32;
  static constexpr const char* kBlankName = "Blank.wav";

  // Makes the 32 slot streams, each still without a file. While the device
  // is closed the streams read their files but have no buffer: playing
  // raises "IDirectSoundBuffer not made", while the settings below are the
  // slot's own and work all the same. When the device opens or closes the
  // streams are made again on it, keeping files and settings. Files of other
  // formats are decoded into tempDir.
  SampleSlots(TDXSound& sound, UiThread& ui, std::filesystem::path tempDir = "temp");
  ~SampleSlots() override;
  SampleSlots(const SampleSlots&) = delete;
  SampleSlots& operator=(const SampleSlots&) = delete;

  // Gives slots 1..32 in turn the file blankName (relative to the working
  // directory) and sets the device's primary format for it. Stops at the
  // first failure and raises it; the slots after it stay without a wave.
  void LoadBlanks(const std::string& blankName = kBlankName);

  // Told of an error that stopped a slot's playback in a refill.
  std::function<void(const std::string& message)> OnError;

  // Raises for a number outside 1..32.
  TAudioFileStream& Stream(int n);

  // Restarts the slot from its start: Position 0, then Play.
  void Restart(int n);
  void Stop(int n);
  bool Playing(int n);
  // The players reach the slots as a SlotPlayer.
  void RestartSlot(int n) override { Restart(n); }
  void StopSlot(int n) override { Stop(n); }
  void SetPosition(int n, int64_t bytes);

  // The file as the user named it ("" when the slot has no wave).
  std::string FileName(int n);
  // The file the slot reads: FileName, or the WAV it was decoded to.
  std::string ReadableFile(int n);
  // A slot whose file name part is "Blank.wav" counts as empty.
  bool Empty(int n);
  // Decodes path for slot n when it needs decoding (SoundImport.h), leaving
  // the slot as it is.
  SoundFile Import(int n, const std::string& path);
  // Opens the imported file into the slot (the stream stops and drops its
  // old file). On failure the slot is left without a wave and with an empty
  // FileName.
  void Open(int n, const SoundFile& sound);
  // Import, then Open: a file that can't be decoded changes nothing.
  void SetFileName(int n, const std::string& path);
  // What the pattern and song loaders do: open the file, then take frequency
  // as both the slot's base frequency and its playing frequency.
  void LoadFile(int n, const std::string& path, int64_t frequency);

  // The playing frequency: the file's own rate once a file is opened (0
  // without a wave), until set otherwise.
  uint32_t Frequency(int n);
  // The rate the slot's file was recorded at (0 without a wave).
  uint32_t FileRate(int n);
  // A value the device can't play (outside 100..200000 Hz, pans beyond
  // +-10000, volumes outside -10000..0) is refused and the slot keeps its
  // setting, as the device itself would.
  void SetFrequency(int n, int64_t frequency);
  int32_t Pan(int n);
  void SetPan(int n, int32_t pan);
  int32_t Volume(int n);
  void SetVolume(int n, int32_t volume);
  // Bits per sample of the slot's file.
  int BitsPerSample(int n);
  // Makes the slot's ring buffer again so new focus options apply.
  void RecreateBuffer(int n);

  int64_t BaseFrequency(int n) const;
  void SetBaseFrequency(int n, int64_t frequency);
  int SemitoneOffset(int n) const;
  // Moves the offset by step cents and sets the frequency computed from the
  // base frequency and the new offset; returns the frequency read back.
  uint32_t StepSemitone(int n, int step);

  // Sets the device's primary format to 44100 Hz, 2 channels and the bits
  // per sample of slot n's file (nothing without an initialised device).
  void SetPrimaryFormatFor(int n);

 private:
  struct Slot;
  Slot& At(int n);
  const Slot& At(int n) const;
  void DeviceNotice(TDXSoundNotifyType notice);
  void MakeStreams(TDirectSound* device);

  TDXSound& sound_;
  UiThread& ui_;
  std::filesystem::path tempDir_;
  std::vector<std::unique_ptr<Slot>> slots_;
};
