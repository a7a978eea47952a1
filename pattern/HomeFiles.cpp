#include "pattern/HomeFiles.h"

#include "common/Files.h"

namespace fs = std::filesystem;

fs::path SampleWorkFile(const fs::path& home, int slot) {
  return home / "temp" / ("sample" + std::to_string(slot) + ".wav");
}

void ResetSampleWorkFiles(const fs::path& home) {
  std::error_code ignored;
  // Any folder a user starts in may be the home: it gets its temp folder.
  fs::create_directories(home / "temp", ignored);
  for (int slot = 1; slot <= 32; ++slot) fs::remove(SampleWorkFile(home, slot), ignored);
  for (int slot = 1; slot <= 32; ++slot)
    fs::copy_file(home / "Blank.wav", SampleWorkFile(home, slot), fs::copy_options::skip_existing,
                  ignored);
}
