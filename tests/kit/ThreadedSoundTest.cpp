// The mixer on its own thread while the UI thread triggers, sweeps and writes
// into a playing buffer: what is mixed is checked by content, never by time.
#include <gtest/gtest.h>

#include <numeric>
#include <set>
#include <thread>

#include "common/ManualUiThread.h"
#include "kit/AudioStream.h"
#include "kit/DXWaveList.h"
#include "kit/SoundTestSupport.h"
#include "support/TempDir.h"

namespace {

using namespace std::chrono_literals;

// A tape paced in real time, with room for four seconds.
std::shared_ptr<CaptureTape> PacedTape() {
  CaptureTape::Settings settings;
  settings.rate = kRate;
  settings.periodFrames = 240;
  settings.pacing = CaptureTape::Pacing::RealTime;
  auto tape = std::make_shared<CaptureTape>(settings);
  tape->Reserve(kRate * 4);
  return tape;
}

TEST(ThreadedSound, EveryTriggerFromTheUiThreadIsMixedOnTheOutputThread) {
  auto tape = PacedTape();
  SetAudioOutputFactory(CaptureFactory(tape));
  ManualUiThread ui;
  SoundWindow window;
  TDXSound sound(&window);
  sound.Initialize();
  TDXWaveList kit(ui);
  std::vector<int16_t> click(2 * 8, 0);
  click[0] = 1000;  // left: one sample per trigger
  click[3] = 7;     // right: a later one
  kit.Items.Add().SetWave(MakeWave16(click));
  kit.SetDXSound(&sound);

  // Meanwhile a looping buffer is rewritten behind its play cursor, as
  // streams do.
  constexpr uint32_t kRingBytes = 4 * 4800;
  auto ring = MakeBuffer(*sound.DSound(), std::vector<int16_t>(kRingBytes / 2, 0));
  ring->Play(DSBPLAY_LOOPING);
  constexpr int kTriggers = 40;
  for (int i = 0; i < kTriggers; ++i) {
    kit.Play(0);
    TLockRegions r;
    const uint32_t behind = (ring->Position() + kRingBytes - 4 * 1200) % kRingBytes;
    ASSERT_TRUE(ring->Lock(behind, 4 * 1200, r));
    std::memset(r.ptr1, 0, r.bytes1);
    if (r.ptr2) std::memset(r.ptr2, 0, r.bytes2);
    ring->Unlock(r);
    ui.ProcessPending();
    std::this_thread::sleep_for(3ms);
  }
  ASSERT_TRUE(ui.PumpUntil(
      [&] {
        kit.Sweep();
        return kit.PlayingCount() == 0;
      },
      5s));
  ring->Stop();
  sound.Finalize();
  SetAudioOutputFactory(nullptr);

  const auto samples = tape->Samples();
  double left = 0, right = 0;
  for (size_t i = 0; i < samples.size(); i += 2) {
    left += In16(samples[i]);
    right += In16(samples[i + 1]);
  }
  EXPECT_EQ(left, 1000.0 * kTriggers);
  EXPECT_EQ(right, 7.0 * kTriggers);
}

// A "SampleN" cell on every step restarts a slot that still sounds: the ring
// is filled anew at once, while the output's thread may still be mixing the
// voice that was just stopped.
TEST(ThreadedSound, RestartingASoundingStreamOverAndOverMixesOnlyItsOwnSamples) {
  auto tape = PacedTape();
  TDirectSound device(std::make_unique<CaptureOutput>(tape));
  ManualUiThread ui;
  TempDir dir;
  std::vector<int16_t> samples;
  for (int i = 0; i < kRate / 2; ++i) {
    samples.push_back(static_cast<int16_t>(1 + i % 1000));
    samples.push_back(0);
  }
  MakeWave16(samples).SaveToFile(dir / "slot.wav");
  TAudioFileStream stream(device, ui);
  stream.SetFileName((dir / "slot.wav").string());
  for (int step = 0; step < 40; ++step) {
    stream.SetPosition(0);
    stream.Play();
    ui.PumpFor(std::chrono::milliseconds(15 + step % 7));
  }
  stream.Stop();
  std::this_thread::sleep_for(20ms);

  const std::set<int16_t> known(samples.begin(), samples.end());
  const auto recorded = tape->Samples();
  size_t sounding = 0;
  for (size_t i = 0; i < recorded.size(); i += 2) {
    const double left = In16(recorded[i]);
    if (left == 0) continue;
    ++sounding;
    ASSERT_TRUE(known.count(static_cast<int16_t>(left))) << i;
  }
  EXPECT_GT(sounding, static_cast<size_t>(kRate / 4));
}

}  // namespace
