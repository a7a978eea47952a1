// Feeds arbitrary bytes, as a sound file, to the rule that decodes sample
// files through libsndfile. It either refuses the file with one of the
// program's errors, leaving no part file, or gives a WAV that the RIFF reader
// takes as it stands: 16-bit PCM, one or two channels, whole frames.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/Exception.h"
#include "kit/DecodeWatch.h"
#include "kit/SndFileDecoder.h"
#include "kit/SoundImport.h"
#include "kit/Wave.h"

namespace fs = std::filesystem;

namespace {

// A few inputs encode far more frames than bytes; a million is plenty.
struct FrameLimit : DecodeWatch {
  bool Continue(std::int64_t done) override { return done < (1 << 20); }
};

fs::path Dir() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("korvanto-decode-fuzz-" + std::to_string(getpid()));
    fs::create_directories(d);
    return d;
  }();
  return dir;
}

void CheckDecoded(const fs::path& path) {
  if (!RiffReaderTakes(path)) std::abort();
  Wave::TWave wave;
  wave.LoadFromFile(path);
  if (wave.FormatBytes() != Wave::MakePcmFormat(wave.SamplesPerSec(), 16, wave.Channels()))
    std::abort();
  if (wave.Channels() < 1 || wave.Channels() > 2) std::abort();
  if (wave.Size() % wave.BlockAlign() != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SetSoundDecoder(MakeSndFileDecoder());
  static FrameLimit limit;
  SetDecodeWatch(&limit);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path input = Dir() / "input";
  const fs::path decoded = Dir() / "decoded.wav";
  {
    std::ofstream out(input, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  fs::remove(decoded);
  try {
    const SoundFile sound = ImportSoundFile(input.string(), decoded);
    if (sound.readable != input.string()) CheckDecoded(decoded);
  } catch (const Exception&) {
    if (fs::exists(decoded) || fs::exists(decoded.string() + ".part")) std::abort();
  }
  return 0;
}
