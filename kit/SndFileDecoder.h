#pragma once
// The sound-file decoder on libsndfile: WAV of every width and float
// (extensible too), AIFF, FLAC, Ogg Vorbis, Opus, MP3 and the rest it reads.
#include <memory>

#include "kit/SoundDecoder.h"

std::shared_ptr<SoundDecoder> MakeSndFileDecoder();
