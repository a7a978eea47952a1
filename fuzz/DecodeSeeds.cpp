// Writes small sound files of every format libsndfile writes, the seeds of
// the decoder fuzzer: decode-seeds DIR.
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  struct Seed {
    const char* name;
    int format;
    int channels;
  };
  const Seed seeds[] = {
      {"pcm24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2},
      {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1},
      {"ext.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 3},
      {"pcm16.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 2},
      {"pcm16.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2},
      {"pcm24.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 1},
      {"vorbis.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 1},
      {"opus.opus", SF_FORMAT_OGG | SF_FORMAT_OPUS, 1},
      {"layer3.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 1},
  };
  std::vector<float> tone(200 * 3);
  for (size_t i = 0; i < tone.size(); ++i) tone[i] = 0.5f * std::sin(0.1f * i);
  for (const Seed& seed : seeds) {
    SF_INFO info{};
    info.samplerate = seed.format == (SF_FORMAT_OGG | SF_FORMAT_OPUS) ? 48000 : 8000;
    info.channels = seed.channels;
    info.format = seed.format;
    SNDFILE* file = sf_open((dir + "/" + seed.name).c_str(), SFM_WRITE, &info);
    if (!file) {
      std::fprintf(stderr, "decode-seeds: %s: %s\n", seed.name, sf_strerror(nullptr));
      continue;
    }
    sf_writef_float(file, tone.data(), 200);
    sf_close(file);
  }
  return 0;
}
