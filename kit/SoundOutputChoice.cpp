#include "kit/SoundOutputChoice.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

int NearestBlockSize(int frames) {
  return *std::min_element(kBlockSizes.begin(), kBlockSizes.end(), [frames](int a, int b) {
    return std::abs(a - frames) < std::abs(b - frames);
  });
}

std::string BlockSizeText(int frames, int rate) {
  char text[64];
  std::snprintf(text, sizeof text, "%d frames (%.1f ms)", frames,
                rate > 0 ? 1000.0 * frames / rate : 0.0);
  return text;
}

std::string DriverTitle(const std::string& driver) {
  static const std::map<std::string, std::string> titles{
      {"pipewire", "PipeWire"}, {"pulseaudio", "PulseAudio"}, {"alsa", "ALSA"},
      {"jack", "JACK"},         {"sndio", "sndio"},           {"dsp", "OSS"}};
  const auto it = titles.find(driver);
  return it == titles.end() ? driver : it->second;
}

std::string ChoiceText(const SoundOutputChoice& choice) {
  if (choice.IsDefault()) return "Default";
  const std::string device = choice.device.empty() ? "Default" : choice.device;
  return choice.driver.empty() ? device : DriverTitle(choice.driver) + ": " + device;
}

SoundChoiceResult UseSoundChoice(SoundOutputs& outputs, const SoundOutputChoice& choice) {
  SoundChoiceResult result;
  if (outputs.Use(choice)) {
    result.used = choice;
    return result;
  }
  SoundOutputChoice fallback;
  fallback.blockFrames = choice.blockFrames;
  result.fellBack = true;
  if (!choice.IsDefault() && outputs.Use(fallback)) {
    result.used = fallback;
    result.message = "The sound output \"" + ChoiceText(choice) +
                     "\" cannot be opened; Korvanto plays through the default output.";
    return result;
  }
  result.used = fallback;
  result.message = "The sound output \"" + ChoiceText(choice) +
                   "\" cannot be opened, nor the default output: playing goes on without sound.";
  return result;
}

namespace {
SoundOutputs* soundOutputs = nullptr;
}

void SetSoundOutputs(SoundOutputs* outputs) {
  soundOutputs = outputs;
}

SoundOutputs* TheSoundOutputs() {
  return soundOutputs;
}
