// What the level meters cost the sound thread: 16 instruments playing with
// their meters measured against the same mix unmeasured, and the windows'
// polls of 30 a second. Figures: the extra CPU as a share of one core in
// real time, and as a share of the mixing itself.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/LoopingVoice.h"
#include "kit/Mixer.h"

namespace {

constexpr int kInstruments = 16, kRate = 48000, kPeriod = 256;
constexpr int kSeconds = 20;
constexpr int kPollFrames = kRate / 30;

double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

std::vector<int16_t> Noise(int frames) {
  std::vector<int16_t> s(2 * static_cast<size_t>(frames));
  uint32_t x = 777;
  for (auto& v : s) {
    x = x * 1664525u + 1013904223u;
    v = static_cast<int16_t>(static_cast<int32_t>(x >> 16) / 8);
  }
  return s;
}

// CPU seconds to mix kSeconds of 16 looping instruments, each on its meter;
// shown: the highest peak the polls read.
double MixSeconds(const std::vector<int16_t>& data, bool metering, float& shown) {
  Mixer mixer({kRate, kPeriod, false, kInstruments});
  mixer.SetMetering(metering);
  for (int v = 0; v < kInstruments; ++v) {
    MixerCommand c = LoopingStart(v, data.data(), static_cast<uint32_t>(data.size() / 2),
                                  SampleLayout{SampleKind::S16, 2, 4, 44100, 44100 * 4});
    c.cursor = 1009u * static_cast<uint32_t>(v);
    c.meter = static_cast<uint16_t>(v + 1);
    mixer.Send(c);
  }
  std::vector<float> block(2 * kPeriod);
  const double start = ThreadSeconds();
  int sincePoll = 0;
  for (int frames = 0; frames < kSeconds * kRate; frames += kPeriod) {
    mixer.Render(block.data(), kPeriod);
    sincePoll += kPeriod;
    if (metering && sincePoll >= kPollFrames) {
      sincePoll = 0;
      for (int m = 1; m <= kInstruments; ++m) shown = std::max(shown, mixer.TakeMeterPeak(m));
    }
  }
  return ThreadSeconds() - start;
}

}  // namespace

int main() {
  const auto data = Noise(kRate * 2);
  // Alternating runs, the quickest of each kind: the least disturbed.
  double off = 1e9, on = 1e9;
  float unmetered = 0, metered = 0;
  for (int run = 0; run < 5; ++run) {
    off = std::min(off, MixSeconds(data, false, unmetered));
    on = std::min(on, MixSeconds(data, true, metered));
  }
  if (metered <= 0 || unmetered != 0) {
    std::fprintf(stderr, "the meters did not measure as asked\n");
    return 1;
  }
  std::printf("BENCH meter_cpu_percent %.3f %%\n", std::max(0.0, on - off) / kSeconds * 100);
  std::printf("BENCH meter_cost_of_mixing_percent %.1f %%\n", (on - off) / off * 100);
  std::printf("BENCH meter_mix_cpu_percent_off %.3f %%\n", off / kSeconds * 100);
  return 0;
}
