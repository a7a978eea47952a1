#pragma once
// libsndfile's handle, closed when it goes: what the decoder (and any later
// encoder) holds an open sound file by. Only the libsndfile adapter sees it.
#include <sndfile.h>

#include <memory>

struct SndFileCloser {
  void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndFileHandle = std::unique_ptr<SNDFILE, SndFileCloser>;
