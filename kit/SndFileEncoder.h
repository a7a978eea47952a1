#pragma once
// The song encoder on libsndfile: FLAC of 16-bit samples.
#include <memory>

#include "kit/SoundEncoder.h"

std::shared_ptr<SoundEncoder> MakeSndFileEncoder();
