#pragma once
// The program's sound outputs: SDL's drivers and, beside them, JACK. A run
// that started on JACK moves between JACK and SDL at once; one that started
// on SDL plays through JACK from its next start. JACK's options are kept
// with the program's settings (group "jack/").
#include <optional>
#include <string>

#include "kit/JackAudioOutput.h"
#include "kit/SoundOutputChoice.h"

inline constexpr const char* kJackDriver = "jack";

JackLinkOptions LoadJackOptions();
void SaveJackOptions(const JackLinkOptions& options);

class StudioSoundOutputs : public SoundOutputs {
 public:
  // sdl must outlive this; onJack: the windows' outputs are JACK outputs.
  StudioSoundOutputs(SoundOutputs& sdl, bool onJack) : sdl_(sdl), onJack_(onJack) {}

  std::vector<std::string> Drivers() override;
  std::string CurrentDriver() override;
  std::vector<std::string> Devices() override;
  int Rate() override;
  bool Use(const SoundOutputChoice& choice) override;
  std::string NoteOnUse(const SoundOutputChoice& choice) override;

  bool OnJack() const { return onJack_; }

 private:
  SoundOutputs& sdl_;
  const bool onJack_;
};

// At start-up: the output for this run (forced: "--audio"), with the output
// factory installed and the stored choice put to use. Returns what to tell
// the user (empty: all went as chosen). onJack says whether JACK plays.
std::string StartSoundOutput(std::optional<bool> forceJack, bool& onJack);
