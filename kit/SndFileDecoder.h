#pragma once
// The sound-file decoder on libsndfile: WAV of every width and float
// (extensible too), AIFF, FLAC, Ogg Vorbis, Opus and the rest it reads. A
// file named .mp3 is read by libmpg123, to its real end.
#include <memory>

#include "kit/SoundDecoder.h"

std::shared_ptr<SoundDecoder> MakeSndFileDecoder();
