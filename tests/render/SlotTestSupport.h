#pragma once
// A home folder with a real Blank.wav, WAV files of chosen rates, and a
// sound device that records on a manual capture tape.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "kit/AudioOutput.h"
#include "kit/CaptureOutput.h"
#include "kit/Wave.h"
#include "support/TempDir.h"

// A 16-bit WAV file of frames frames holding a quiet ramp (silence when quiet).
inline void WriteWav(const std::filesystem::path& path, uint32_t rate, int frames,
                     uint16_t channels = 2, bool quiet = false) {
  Wave::TWave wave;
  wave.SetFormat(Wave::MakePcmFormat(rate, 16, channels));
  std::vector<int16_t> samples(static_cast<size_t>(frames) * channels);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = quiet ? 0 : static_cast<int16_t>(1000 + (i % 200) * 50);
  wave.SetSize(static_cast<int32_t>(samples.size() * 2));
  std::memcpy(wave.Data(), samples.data(), samples.size() * 2);
  wave.SaveToFile(path);
}

// Installs a capture output for every device opened while it lives.
class CaptureSound {
 public:
  CaptureSound() {
    CaptureTape::Settings settings;
    settings.rate = 48000;
    settings.periodFrames = 480;
    tape = std::make_shared<CaptureTape>(settings);
    SetAudioOutputFactory(CaptureFactory(tape));
  }
  ~CaptureSound() { SetAudioOutputFactory(nullptr); }
  std::shared_ptr<CaptureTape> tape;
};

// The program's home: temp folder and Blank.wav, made current.
class SlotHome {
 public:
  SlotHome() : scope_(dir_.path()) {
    std::filesystem::create_directory(dir_ / "temp");
    WriteWav(dir_ / "Blank.wav", 22050, 64, 2, true);
  }
  const std::filesystem::path& path() const { return dir_.path(); }
  std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }

 private:
  TempDir dir_;
  CurrentDirScope scope_;
};
