// Feeds arbitrary text to the SFZ reader as a kit's .sfz file (which may
// #include itself or name any path): it reads it or refuses it with a
// message, and never names a sample outside the kit's folder unrefused.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/Exception.h"
#include "kit/SfzReader.h"

namespace fs = std::filesystem;

namespace {
fs::path KitFolder() {
  static const fs::path folder = [] {
    const fs::path made =
        fs::temp_directory_path() / ("korvanto-sfz-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(made);
    return made;
  }();
  return folder;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path sfz = KitFolder() / "kit.sfz";
  std::ofstream(sfz, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  try {
    const ImportedKit kit = ReadSfz(sfz);
    for (const ImportedInstrument& instrument : kit.instruments) {
      if (instrument.layers.empty()) std::abort();
      if (instrument.note < 0 || instrument.note > 127) std::abort();
    }
  } catch (const Exception&) {
  }
  return 0;
}
