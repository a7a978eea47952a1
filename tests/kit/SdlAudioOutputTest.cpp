// The SDL output with SDL's dummy driver: it opens, calls back and carries
// the mixer's sound. Timing is never judged here: the dummy driver does not
// keep real time.
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <future>
#include <thread>

#include "common/ManualUiThread.h"
#include "kit/DXClass.h"
#include "kit/DeviceLossWatch.h"
#include "kit/SdlAudioOutput.h"
#include "kit/SoundOutputChoice.h"
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

// The main window, the sample editor and the kit maker each open a device;
// they share SDL's one device, whose callback sums them.
TEST(SdlAudioOutput, SeveralOutputsShareTheOneDevice) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  SdlAudioOutput first, second, third;
  ASSERT_TRUE(first.Open(48000));
  ASSERT_TRUE(second.Open(44100));
  ASSERT_TRUE(third.Open(48000));
  EXPECT_EQ(second.Rate(), first.Rate());
  auto constant = [](float value) {
    return [value](float* out, int frames) { std::fill(out, out + 2 * frames, value); };
  };
  first.Start(constant(0.25f));
  second.Start(constant(0.5f));
  // The third stays open but is never started.
  const auto until = std::chrono::steady_clock::now() + 5s;
  while ((first.Callbacks() == 0 || second.Callbacks() == 0) &&
         std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(5ms);
  EXPECT_GT(first.Callbacks(), 0);
  EXPECT_GT(second.Callbacks(), 0);
  EXPECT_EQ(third.Callbacks(), 0);
  first.Stop();
  const int64_t stopped = first.Callbacks();
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(first.Callbacks(), stopped);  // a stopped output is never called again
  second.Stop();
}

void PushDeviceEvent(Uint32 type, Uint32 which) {
  SDL_Event event{};
  event.type = type;
  event.adevice.which = which;
  event.adevice.iscapture = 0;
  ASSERT_EQ(SDL_PushEvent(&event), 1);
}

// Waits until the mixer has rendered more frames than it had.
bool MixerGoesOn(TDirectSound& device) {
  const int64_t before = device.mixer().FramesRendered();
  const auto until = std::chrono::steady_clock::now() + 5s;
  while (device.mixer().FramesRendered() <= before + 4 * device.mixer().PeriodFrames())
    if (std::chrono::steady_clock::now() > until)
      return false;
    else
      std::this_thread::sleep_for(2ms);
  return true;
}

// SDL reports the device removed (a headset unplugged): the user hears of it
// once, the mixer keeps its pace without sound, and the default device comes
// back when SDL says one was added or, failing that, at the next retry.
TEST(SdlAudioOutput, ALostDeviceIsToldOnceAndOpenedAgain) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  TDirectSound device(std::make_unique<SdlAudioOutput>());
  ManualUiThread ui;
  std::vector<std::string> told;
  auto now = std::chrono::steady_clock::now();
  DeviceLossWatch watch(
      ui, SdlSoundDevice(), [&](const std::string& text) { told.push_back(text); },
      [&] { return now; });
  ASSERT_TRUE(MixerGoesOn(device));
  const Uint32 id = SdlSoundDeviceId();
  ASSERT_NE(id, 0u);

  PushDeviceEvent(SDL_AUDIODEVICEREMOVED, id + 1000);  // another device: nothing
  ui.FireTimers();
  ui.ProcessPending();
  EXPECT_FALSE(watch.Lost());

  PushDeviceEvent(SDL_AUDIODEVICEREMOVED, id);
  ui.FireTimers();
  ui.ProcessPending();
  EXPECT_TRUE(watch.Lost());
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("went away"), std::string::npos);
  EXPECT_EQ(told[0], DeviceLossWatch::LostMessage(SdlSoundDevice().Name()));
  EXPECT_EQ(SdlSoundDeviceId(), 0u);  // the dead device is closed
  EXPECT_TRUE(MixerGoesOn(device));   // the players carry on, silently

  ui.FireTimers();  // within the second: no retry, no second message
  ui.ProcessPending();
  EXPECT_TRUE(watch.Lost());
  EXPECT_EQ(told.size(), 1u);

  PushDeviceEvent(SDL_AUDIODEVICEADDED, 0);
  ui.FireTimers();
  EXPECT_FALSE(watch.Lost());
  EXPECT_NE(SdlSoundDeviceId(), 0u);
  EXPECT_TRUE(MixerGoesOn(device));

  // Lost again: told again; back after a second without any event.
  PushDeviceEvent(SDL_AUDIODEVICEREMOVED, SdlSoundDeviceId());
  ui.FireTimers();
  ui.ProcessPending();
  EXPECT_EQ(told.size(), 2u);
  now += DeviceLossWatch::kRetry;
  ui.FireTimers();
  EXPECT_FALSE(watch.Lost());
  EXPECT_TRUE(MixerGoesOn(device));
  EXPECT_EQ(told.size(), 2u);
}

}  // namespace

namespace {

// The callback takes no lock the UI thread takes: another output starts
// while a render is under way, and the render is not cut short by it.
TEST(SdlAudioOutput, StartingAnOutputDoesNotWaitForTheCallback) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  SdlAudioOutput rendering, other;
  ASSERT_TRUE(rendering.Open(48000));
  ASSERT_TRUE(other.Open(48000));
  std::promise<void> inRender;
  std::atomic<bool> release{false}, entered{false};
  rendering.Start([&](float* out, int frames) {
    std::memset(out, 0, static_cast<size_t>(frames) * 2 * sizeof(float));
    if (entered.exchange(true)) return;
    inRender.set_value();
    while (!release.load()) std::this_thread::yield();
  });
  ASSERT_EQ(inRender.get_future().wait_for(10s), std::future_status::ready);
  auto start = std::async(std::launch::async, [&] {
    other.Start([](float* out, int frames) {
      std::memset(out, 0, static_cast<size_t>(frames) * 2 * sizeof(float));
    });
  });
  // Waiting here only tells a hang from a return; no time is judged.
  const bool returned = start.wait_for(10s) == std::future_status::ready;
  release.store(true);
  start.wait();
  EXPECT_TRUE(returned) << "Start waited for the callback";
  other.Stop();
  const int64_t seen = rendering.Callbacks();
  rendering.Stop();
  EXPECT_GE(seen, 1);
}

}  // namespace

// Preferences' choice reopens the shared device under a playing output,
// which goes on being called; one that cannot be opened leaves the output
// as it was, and the choice then falls back to the default with a message.
TEST(SdlAudioOutput, AChosenOutputIsUsedAtOnceAndAGoneOneFallsBack) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  SdlAudioOutput output;
  ASSERT_TRUE(output.Open(48000));
  output.Start([](float* out, int frames) { std::fill(out, out + 2 * frames, 0.0f); });
  auto goesOn = [&] {
    const int64_t before = output.Callbacks();
    const auto until = std::chrono::steady_clock::now() + 5s;
    while (output.Callbacks() <= before + 2 && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(2ms);
    return output.Callbacks() > before + 2;
  };
  ASSERT_TRUE(goesOn());
  SoundOutputs& outputs = SdlSoundOutputs();
  struct Case {
    SoundOutputChoice choice;
    bool opens;
  };
  for (const Case& c : std::vector<Case>{{{"dummy", "", 512}, true},
                                         {{"dummy", "No such device", 256}, false},
                                         {{"no such driver", "", 256}, false},
                                         {{"", "", 1024}, true}}) {
    EXPECT_EQ(outputs.Use(c.choice), c.opens) << c.choice.driver << c.choice.device;
    EXPECT_NE(SdlSoundDeviceId(), 0u) << c.choice.driver << c.choice.device;
    EXPECT_TRUE(goesOn()) << c.choice.driver << c.choice.device;
  }
  const SoundChoiceResult result = UseSoundChoice(outputs, {"dummy", "No such device", 256});
  EXPECT_TRUE(result.fellBack);
  EXPECT_EQ(result.used, (SoundOutputChoice{"", "", 256}));
  EXPECT_EQ(result.message,
            "The sound output \"dummy: No such device\" cannot be opened; Korvanto plays through "
            "the default output.");
  EXPECT_TRUE(goesOn());
  output.Stop();
}
