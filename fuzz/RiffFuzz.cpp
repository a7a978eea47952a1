// Feeds arbitrary bytes to the RIFF WAVE readers: the whole-wave load and the
// streamed reader must agree on what they accept and on the sample bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "common/Exception.h"
#include "kit/Wave.h"
#include "kit/WaveStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  Wave::TWave wave;
  bool loaded = false;
  try {
    std::istringstream in(bytes);
    wave.LoadFromStream(in);
    loaded = true;
  } catch (const Exception&) {
  }

  std::istringstream source(bytes);
  Wave::TWaveStream stream(source);
  try {
    stream.Open();
  } catch (const Exception&) {
    if (loaded && size > 0) std::abort();  // the streamed reader refused what loaded
    return 0;
  }
  std::vector<uint8_t> all(static_cast<size_t>(stream.Size()));
  size_t got = stream.ReadAt(0, all.data(), all.size());
  if (got != all.size()) std::abort();
  if (loaded) {
    if (stream.Format() != wave.FormatBytes()) std::abort();
    if (all.size() != static_cast<size_t>(wave.Size())) std::abort();
    if (!std::equal(all.begin(), all.end(), wave.Data())) std::abort();
    // What was read writes an image that reads back the same.
    std::istringstream image(wave.Image());
    Wave::TWave again;
    again.LoadFromStream(image);
    if (again.Image() != wave.Image()) std::abort();
  }
  return 0;
}
