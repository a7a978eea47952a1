// The SDL output with SDL's dummy driver: it opens, calls back and carries
// the mixer's sound. Timing is never judged here: the dummy driver does not
// keep real time.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "kit/DXClass.h"
#include "kit/SdlAudioOutput.h"
#include "kit/Wave.h"

namespace {

using namespace std::chrono_literals;

// Passes blocks through and keeps the loudest sample seen.
class TapOutput : public AudioOutput {
 public:
  explicit TapOutput(std::unique_ptr<SdlAudioOutput> inner) : inner_(std::move(inner)) {}
  bool Open(int rate) override { return inner_->Open(rate); }
  int Rate() const override { return inner_->Rate(); }
  int PeriodFrames() const override { return inner_->PeriodFrames(); }
  bool RealTime() const override { return inner_->RealTime(); }
  void Start(Render render) override {
    inner_->Start([this, render](float* out, int frames) {
      render(out, frames);
      float peak = loudest.load();
      for (int i = 0; i < 2 * frames; ++i) peak = std::max(peak, std::abs(out[i]));
      loudest.store(peak);
    });
  }
  void Stop() override { inner_->Stop(); }
  int64_t Callbacks() const { return inner_->Callbacks(); }

  std::atomic<float> loudest{0};

 private:
  std::unique_ptr<SdlAudioOutput> inner_;
};

TEST(SdlAudioOutput, OpensCallsBackAndMixesOnTheDummyDriver) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  auto tap = std::make_unique<TapOutput>(std::make_unique<SdlAudioOutput>());
  TapOutput* output = tap.get();
  TDirectSound device(std::move(tap));
  EXPECT_TRUE(device.OutputRate() == 48000 || device.OutputRate() == 44100) << device.OutputRate();
  EXPECT_GT(device.mixer().PeriodFrames(), 0);

  TDirectSoundBuffer buffer(device);
  std::vector<int16_t> tone(2 * 4410);
  for (size_t i = 0; i < tone.size(); ++i)
    tone[i] = static_cast<int16_t>(16000 * std::sin(0.05 * static_cast<double>(i / 2)));
  ASSERT_TRUE(buffer.CreateBuffer(
      {0xE0, static_cast<uint32_t>(tone.size() * 2), Wave::MakePcmFormat(44100, 16, 2)}));
  TLockRegions r;
  ASSERT_TRUE(buffer.Lock(0, buffer.Size(), r));
  std::memcpy(r.ptr1, tone.data(), r.bytes1);
  buffer.Unlock(r);
  buffer.Play(DSBPLAY_LOOPING);

  const auto until = std::chrono::steady_clock::now() + 5s;
  while (output->loudest.load() < 0.4f && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(5ms);
  EXPECT_GT(output->Callbacks(), 0);
  EXPECT_GT(device.mixer().FramesRendered(), 0);
  EXPECT_NEAR(output->loudest.load(), 16000.0f / 32768, 0.01f);
  EXPECT_GT(buffer.Position(), 0u);
  buffer.Stop();
}

TEST(SdlAudioOutput, FactoryMakesAnSdlOutput) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  auto output = SdlAudioOutputFactory()();
  ASSERT_NE(output, nullptr);
  EXPECT_TRUE(output->Open(44100));
  EXPECT_TRUE(output->RealTime());
}

}  // namespace
