#include "kit/ImportedKit.h"

#include "common/Files.h"

const ImportedLayer* FullVelocityLayer(const ImportedInstrument& instrument) {
  // Velocities read from text may fall a hair short of 1.
  constexpr double kFull = 1.0 - 1e-6;
  const ImportedLayer* loudest = nullptr;
  for (const ImportedLayer& layer : instrument.layers) {
    if (layer.lowVelocity <= 1.0 && layer.highVelocity >= kFull) return &layer;
    if (!loudest || layer.highVelocity > loudest->highVelocity) loudest = &layer;
  }
  return loudest;
}

std::string SourcePlace(const std::filesystem::path& file, int line) {
  std::string place = DisplayPath(file);
  if (line > 0) place += ":" + std::to_string(line);
  return place + ": ";
}
