// Writes the default kit "power.dxg" and the silent "Blank.wav" into the
// folder given, through the program's own kit writer.
//   kitsynth OUTPUT_DIR [--wavs]   (--wavs also writes each instrument as a WAV file)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/Exception.h"
#include "kit/BlankWave.h"
#include "kit/Wave.h"
#include "kit/WaveCollection.h"
#include "tools/kitsynth/Voices.h"

namespace {

using namespace kitsynth;

struct Instrument {
  const char* name;  // 10 characters, then "[ ]"
  std::function<Signal()> make;
  double fadeOut;  // seconds of the final fade to silence
  double peakDb;   // staged as a mix: kick and snare on top, hats and percussion under them
};

const std::vector<Instrument>& Instruments() {
  static const std::vector<Instrument> list = {
      {"Kick      [ ]", Kick, 0.06, -6},
      {"Short Kick[ ]", ShortKick, 0.04, -7},
      {"Snare     [ ]", Snare, 0.05, -6},
      {"ClsHiat   [ ]", ClosedHat, 0.02, -15},
      {"OpHiat    [ ]", OpenHat, 0.1, -14},
      {"Tom1      [ ]", [] { return Tom(196, 0.5); }, 0.06, -8},
      {"Tom2      [ ]", [] { return Tom(131, 0.65); }, 0.08, -8},
      {"Cymbol1   [ ]", Crash, 0.4, -12},
      {"Cymbol2   [ ]", Ride, 0.3, -14},
      {"Rimshot   [ ]", Rimshot, 0.03, -10},
      {"Shaker    [ ]", Shaker, 0.03, -17},
      {"Block     [ ]", WoodBlock, 0.03, -12},
      {"Congo     [ ]", Conga, 0.06, -10},
      {"Cowbell   [ ]", Cowbell, 0.06, -13},
      {"Crack     [ ]", Clap, 0.06, -9},
      {"Tamb      [ ]", Tambourine, 0.06, -15},
  };
  return list;
}

Wave::TWave ToWave(const Signal& s) {
  Wave::TWave wave;
  wave.SetFormat(Wave::MakePcmFormat(44100, 16, 1));
  wave.SetSize(static_cast<int32_t>(s.size() * 2));
  for (size_t i = 0; i < s.size(); ++i) {
    long v = std::lround(std::clamp(s[i], -1.0, 1.0) * 32767);
    wave.Data()[2 * i] = static_cast<uint8_t>(v & 0xFF);
    wave.Data()[2 * i + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
  }
  return wave;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: kitsynth OUTPUT_DIR [--wavs]\n");
    return 2;
  }
  std::filesystem::path out = argv[1];
  bool wavs = argc > 2 && std::string(argv[2]) == "--wavs";
  try {
    std::filesystem::create_directories(out);
    const Wave::TWave blank = BlankWave();
    TWaveCollection kit;
    kit.Add().SetWave(blank);  // entry 0: the unnamed blank
    for (const Instrument& instrument : Instruments()) {
      Signal s = instrument.make();
      Finish(s, instrument.fadeOut, instrument.peakDb);
      TWaveCollectionItem& item = kit.Add();
      item.SetName(instrument.name);
      item.SetWave(ToWave(s));
      if (wavs) item.Wave().SaveToFile(out / (std::to_string(item.Index()) + ".wav"));
    }
    kit.SaveToFile(out / "power.dxg");
    blank.SaveToFile(out / "Blank.wav");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kitsynth: %s\n", e.what());
    return 1;
  }
  return 0;
}
