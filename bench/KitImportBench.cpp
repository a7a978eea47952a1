// Importing a Hydrogen drumkit of 16 instruments, each with three FLAC
// layers of a second of stereo sound (24 bits, a gain on every other
// instrument): the whole "kit import" command, the median of five runs.
#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "kit/DrumkitXml.h"
#include "kit/KitSourceReaders.h"
#include "kit/SndFileDecoder.h"
#include "kit/SoundDecoder.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRate = 44100;
constexpr int kInstruments = 16;

void WriteLayer(const fs::path& path, int instrument, int layer) {
  SF_INFO info{};
  info.samplerate = kRate;
  info.channels = 2;
  info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) throw std::runtime_error(sf_strerror(nullptr));
  std::vector<float> frames(2 * kRate);
  const double level = 0.3 + 0.2 * layer;
  for (int f = 0; f < kRate; ++f) {
    const double t = f / double(kRate);
    const double hit = level * std::exp(-t * 8) * std::sin(2 * M_PI * (60 + 40 * instrument) * t);
    frames[2 * f] = float(hit);
    frames[2 * f + 1] = float(0.8 * hit);
  }
  sf_writef_float(file, frames.data(), kRate);
  sf_close(file);
}

void WriteKit(const fs::path& folder) {
  fs::create_directories(folder);
  std::string xml = "<drumkit_info><name>BenchKit</name><instrumentList>\n";
  for (int i = 0; i < kInstruments; ++i) {
    xml += "<instrument><name>Drum " + std::to_string(i) + "</name><volume>" +
           (i % 2 ? "0.8" : "1") + "</volume><instrumentComponent>\n";
    for (int layer = 0; layer < 3; ++layer) {
      const std::string file = "drum" + std::to_string(i) + "-" + std::to_string(layer) + ".flac";
      WriteLayer(folder / file, i, layer);
      xml += "<layer><filename>" + file + "</filename><min>" + std::to_string(layer / 3.0) +
             "</min><max>" + std::to_string((layer + 1) / 3.0) + "</max></layer>\n";
    }
    xml += "</instrumentComponent></instrument>\n";
  }
  xml += "</instrumentList></drumkit_info>\n";
  FILE* out = std::fopen((folder / "drumkit.xml").c_str(), "wb");
  std::fwrite(xml.data(), 1, xml.size(), out);
  std::fclose(out);
}

double ImportMs(const fs::path& kit, const fs::path& out) {
  std::ostringstream text, err;
  bool handled = false;
  const auto start = std::chrono::steady_clock::now();
  const int code =
      RunCommandLine({"kit", "import", kit.string(), out.string()}, text, err, false, handled);
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (code != 0) throw std::runtime_error(err.str());
  fs::remove(out);
  return ms;
}

}  // namespace

int main() {
  SetSoundDecoder(MakeSndFileDecoder());
  SetKitSourceReaders(QtKitSourceReaders());
  const fs::path folder = fs::temp_directory_path() / "korvanto-bench-kit-import";
  fs::remove_all(folder);
  WriteKit(folder / "BenchKit");
  std::vector<double> runs;
  for (int i = 0; i < 5; ++i) runs.push_back(ImportMs(folder / "BenchKit", folder / "bench.dxg"));
  std::sort(runs.begin(), runs.end());
  std::printf("BENCH kit_import_ms %.1f ms\n", runs[runs.size() / 2]);
  fs::remove_all(folder);
  return 0;
}
