// Mixer cost per voice and output frame, and the cost of one kit trigger.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "bench/StealClick.h"
#include "common/ManualUiThread.h"
#include "kit/CaptureOutput.h"
#include "kit/DXWaveList.h"
#include "kit/Mixer.h"
#include "kit/Wave.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<int16_t> Noise(int frames) {
  std::vector<int16_t> s(2 * static_cast<size_t>(frames));
  uint32_t x = 12345;
  for (auto& v : s) {
    x = x * 1664525u + 1013904223u;
    v = static_cast<int16_t>(x >> 16);
  }
  return s;
}

void MixerCost() {
  constexpr int kVoices = 64, kRate = 48000, kPeriod = 256;
  const auto data = Noise(kRate * 4);
  Mixer mixer({kRate, kPeriod, false, kVoices});
  for (int v = 0; v < kVoices; ++v) {
    MixerCommand c = LoopingStart(v, data.data(), kRate * 4,
                                  SampleLayout{SampleKind::S16, 2, 4, 44100, 44100 * 4});
    c.frequency = 44100 + 37 * v;  // never the output rate
    c.pan = -3000 + 100 * v;
    c.volume = -50 * v;
    c.cursor = 997 * v;
    mixer.Send(c);
  }
  std::vector<float> block(2 * kPeriod);
  mixer.Render(block.data(), kPeriod);
  const int blocks = 4000;
  const auto start = Clock::now();
  for (int b = 0; b < blocks; ++b) mixer.Render(block.data(), kPeriod);
  const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
  std::printf("BENCH mixer_ns_per_voice_frame %.2f ns\n",
              ns / (double(blocks) * kPeriod * kVoices));
}

Wave::TWave NoiseWave(uint32_t rate, int frames) {
  Wave::TWave wave;
  wave.SetFormat(Wave::MakePcmFormat(rate, 16, 2));
  const auto data = Noise(frames);
  wave.SetSize(static_cast<int32_t>(data.size() * 2));
  std::memcpy(wave.Data(), data.data(), data.size() * 2);
  return wave;
}

// A kit of copies of one wave on a device that records on a manual tape.
struct ManualKit {
  ManualKit(int entries, const Wave::TWave& wave) {
    SetAudioOutputFactory(CaptureFactory(tape));
    sound.Initialize();
    for (int i = 0; i < entries; ++i) kit.Items.Add().SetWave(wave);
    kit.SetDXSound(&sound);
  }
  ~ManualKit() { kit.SetDXSound(nullptr); }

  std::shared_ptr<CaptureTape> tape = std::make_shared<CaptureTape>(CaptureTape::Settings{});
  ManualUiThread ui;
  SoundWindow window;
  TDXSound sound{&window};
  TDXWaveList kit{ui};
};

void TriggerCost() {
  ManualKit rig(17, NoiseWave(44100, 4410));
  std::vector<double> us;
  for (int round = 0; round < 50; ++round) {
    for (int i = 0; i < 100; ++i) {
      const auto start = Clock::now();
      rig.kit.Play(1 + i % 16);
      us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    rig.tape->RenderFrames(4410);  // let the voices end, as the sweep would find them
    rig.kit.Sweep();
  }
  std::sort(us.begin(), us.end());
  std::printf("BENCH trigger_us %.2f us\n", us[us.size() / 2]);
  std::printf("BENCH trigger_us_p99 %.2f us\n", us[us.size() * 99 / 100]);
}

// Fast retriggers of long sounds: far more overlap than the device has voices.
void VoiceStealing() {
  ManualKit rig(32, NoiseWave(48000, 2 * 48000));  // two seconds
  int64_t triggers = 0;
  for (int block = 0; block < 200; ++block) {
    for (int i = 0; i < 32; ++i, ++triggers) rig.kit.Play(i);
    rig.tape->RenderFrames(240);
    if (block % 100 == 99) rig.kit.Sweep();
  }
  const VoicePool& voices = rig.sound.DSound()->voices();
  std::printf("%lld overlapping triggers of 2 s sounds, %d voices\n",
              static_cast<long long>(triggers), rig.sound.DSound()->mixer().Slots());
  std::printf("BENCH voices_dropped %lld count\n", static_cast<long long>(voices.Dropped()));
  std::printf("BENCH voice_steals %lld count\n", static_cast<long long>(voices.Steals()));
}

// The click voice steals make: every stolen voice fades to silence.
void StealClicks() {
  for (int steals : {1, 200})
    std::printf("BENCH steal_click_fs_%d %.4f fs\n", steals, stealclick::AddedStep(steals));
}

}  // namespace

int main() {
  MixerCost();
  TriggerCost();
  VoiceStealing();
  StealClicks();
  return 0;
}
