#pragma once
// An imported instrument's sound: its sample file read as the kit maker reads
// one (8- and 16-bit PCM WAV as they stand, every other format decoded to 16
// bits with dither where needed), with a gain applied on the way when it
// isn't 1.
#include <filesystem>

#include "kit/Wave.h"

// decodedWav: where a decoded copy may be written. Errors name file.
Wave::TWave ImportedSound(const std::filesystem::path& file, double gain,
                          const std::filesystem::path& decodedWav);
