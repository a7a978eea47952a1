#pragma once
// The sound output the user chose in Preferences: the driver, the device and
// the block size, and how a choice is put to use. A choice that no longer
// works (the device is gone) falls back to the default output and says so.
#include <array>
#include <string>
#include <vector>

struct SoundOutputChoice {
  std::string driver;  // empty: the system's own choice
  std::string device;  // empty: the driver's default device
  int blockFrames = 256;
  bool operator==(const SoundOutputChoice&) const = default;
  bool IsDefault() const { return driver.empty() && device.empty(); }
};

inline constexpr std::array<int, 4> kBlockSizes{128, 256, 512, 1024};
// A block size the list offers; any other falls to the nearest listed one.
int NearestBlockSize(int frames);
// "256 frames (5.3 ms)": the block and the latency it gives at rate.
std::string BlockSizeText(int frames, int rate);
// "PulseAudio: Speakers", "ALSA: Default", "Default": for messages.
std::string ChoiceText(const SoundOutputChoice& choice);
// The name a driver is shown with ("pulseaudio" -> "PulseAudio").
std::string DriverTitle(const std::string& driver);

// The sound outputs of the system, as the sound layer sees them.
class SoundOutputs {
 public:
  virtual ~SoundOutputs() = default;
  // The drivers that can be used, in the order offered.
  virtual std::vector<std::string> Drivers() = 0;
  // The driver in use; the devices it offers (without "Default").
  virtual std::string CurrentDriver() = 0;
  virtual std::vector<std::string> Devices() = 0;
  // The output's rate, for the latency shown.
  virtual int Rate() = 0;
  // Opens the output as chosen, the windows' sound going on through it;
  // false and the output as it was when the choice cannot be opened.
  virtual bool Use(const SoundOutputChoice& choice) = 0;
  // What to tell once a choice is in use (it takes effect later, say).
  virtual std::string NoteOnUse(const SoundOutputChoice&) { return {}; }
};

struct SoundChoiceResult {
  SoundOutputChoice used;  // what sounds now
  bool fellBack = false;   // the choice did not work: the default sounds
  std::string message;     // for the user; empty when all went as chosen
};

// Uses the choice, else the default output, and says what happened.
SoundChoiceResult UseSoundChoice(SoundOutputs& outputs, const SoundOutputChoice& choice);

// The program's outputs, set once at start-up (tests set a fake); null: none.
void SetSoundOutputs(SoundOutputs* outputs);
SoundOutputs* TheSoundOutputs();
