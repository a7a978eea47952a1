#include "kit/Mpg123Decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

struct Mpg123Closer {
  void operator()(mpg123_handle* handle) const {
    mpg123_close(handle);
    mpg123_delete(handle);
  }
};
using Mpg123Handle = std::unique_ptr<mpg123_handle, Mpg123Closer>;

// Float samples at every rate libmpg123 decodes, so that nothing is
// converted on the way.
Mpg123Handle FloatDecoder() {
  Mpg123Handle handle(mpg123_new(nullptr, nullptr));
  if (!handle) return nullptr;
  mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  mpg123_format_none(handle.get());
  const long* rates = nullptr;
  std::size_t count = 0;
  mpg123_rates(&rates, &count);
  for (std::size_t i = 0; i < count; ++i)
    mpg123_format(handle.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
  return handle;
}

class Mpg123Reader : public SoundReader {
 public:
  Mpg123Reader(Mpg123Handle handle, long rate, int channels)
      : handle_(std::move(handle)), channels_(channels) {
    info_.rate = rate;
    info_.channels = channels;
    info_.bits = 0;
    info_.frames = std::max<std::int64_t>(0, mpg123_length(handle_.get()));
    info_.framesEstimated = true;
  }
  const SoundInfo& Info() const override { return info_; }

  std::int64_t Read(float* out, std::int64_t frames) override {
    const std::size_t want = static_cast<std::size_t>(frames * channels_) * sizeof(float);
    std::size_t got = 0;
    while (got < want && !ended_) {
      std::size_t done = 0;
      const int result = mpg123_read(handle_.get(), reinterpret_cast<unsigned char*>(out) + got,
                                     want - got, &done);
      got += done;
      if (result == MPG123_DONE) {
        ended_ = true;
      } else if (result == MPG123_NEW_FORMAT) {
        if (!SameFormat()) return -1;
      } else if (result != MPG123_OK) {
        return -1;
      }
    }
    return static_cast<std::int64_t>(got / sizeof(float)) / channels_;
  }

 private:
  // A stream that changes rate or channels half way is no sound file.
  bool SameFormat() {
    long rate = 0;
    int channels = 0, encoding = 0;
    return mpg123_getformat(handle_.get(), &rate, &channels, &encoding) == MPG123_OK &&
           rate == info_.rate && channels == channels_;
  }

  Mpg123Handle handle_;
  const int channels_;
  SoundInfo info_;
  bool ended_ = false;
};

}  // namespace

std::unique_ptr<SoundReader> OpenMpegAudio(const std::filesystem::path& path) {
  Mpg123Handle handle = FloatDecoder();
  if (!handle || mpg123_open(handle.get(), path.c_str()) != MPG123_OK) return nullptr;
  long rate = 0;
  int channels = 0, encoding = 0;
  if (mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK || channels < 1)
    return nullptr;
  return std::make_unique<Mpg123Reader>(std::move(handle), rate, channels);
}
