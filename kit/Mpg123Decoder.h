#pragma once
// MP3 read to its real end by libmpg123. libsndfile only estimates the
// length of an MP3 without a Xing/Info header and stops at its estimate;
// libmpg123 decodes every frame there is. The length the reader declares is
// libmpg123's estimate, good for a progress bar only.
#include <filesystem>
#include <memory>

#include "kit/SoundDecoder.h"

// Null when libmpg123 finds no MPEG audio in the file.
std::unique_ptr<SoundReader> OpenMpegAudio(const std::filesystem::path& path);
