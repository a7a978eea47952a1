#include <gtest/gtest.h>

#include <string>

#include "common/Exception.h"
#include "common/ManualUiThread.h"
#include "kit/DXWaveList.h"
#include "kit/SoundTestSupport.h"

namespace {

class DXSoundTest : public ::testing::Test {
 protected:
  std::shared_ptr<CaptureTape> tape = ManualTape();
  ManualUiThread ui;
  SoundWindow window{77};
  void SetUp() override { SetAudioOutputFactory(CaptureFactory(tape)); }
  void TearDown() override { SetAudioOutputFactory(nullptr); }

  std::vector<float> Render(int frames) {
    tape->Clear();
    EXPECT_TRUE(tape->RenderFrames(frames));
    return tape->Samples();
  }
};

TEST_F(DXSoundTest, NoticesAndEventsComeInTheirOrder) {
  TDXSound sound(&window);
  std::string log;
  sound.RegisterNotifyEvent(&log, [&](TDXSound&, TDXSoundNotifyType n) {
    log += "n" + std::to_string(static_cast<int>(n)) + " ";
  });
  sound.OnInitializing = [&](TDXSound&) { log += "OnInitializing "; };
  sound.OnInitialize = [&](TDXSound& s) { log += s.Initialized() ? "OnInitialize " : "early "; };
  sound.OnRestore = [&](TDXSound&) { log += "OnRestore "; };
  sound.OnFinalize = [&](TDXSound&) { log += "OnFinalize "; };
  sound.Finalize();  // not open: nothing
  EXPECT_EQ(log, "");
  sound.Initialize();
  EXPECT_EQ(log, "n0 OnInitializing n1 OnInitialize n3 OnRestore ");
  log.clear();
  sound.Initialize();  // finalizes first
  EXPECT_EQ(log, "OnFinalize n2 n0 OnInitializing n1 OnInitialize n3 OnRestore ");
  log.clear();
  sound.Finalize();
  EXPECT_EQ(log, "OnFinalize n2 ");
  EXPECT_FALSE(sound.Initialized());
  EXPECT_EQ(sound.DSound(), nullptr);
}

TEST_F(DXSoundTest, CooperativeLevelFollowsOptionsAndRebindsOnANewHandle) {
  TDXSound sound(&window);
  sound.SetOptions(soGlobalFocus | soStickyFocus | soExclusive);
  sound.Initialize();
  EXPECT_EQ(sound.DSound()->CooperativeLevel(), DSSCL_EXCLUSIVE);
  EXPECT_EQ(sound.DSound()->CooperativeWindow(), 77u);
  window.RecreateHandle(78);
  EXPECT_EQ(sound.DSound()->CooperativeWindow(), 78u);
  // While open the level is fixed; focus options change at once.
  sound.SetOptions(soWritePrimary);
  EXPECT_EQ(sound.Options(), static_cast<TDXSoundOptions>(soExclusive));
  EXPECT_FALSE(sound.DSound()->StickyFocus);
  sound.Finalize();
  EXPECT_EQ(sound.Options(), static_cast<TDXSoundOptions>(soWritePrimary));
  EXPECT_EQ(window.HookCount(), 0);
  sound.Initialize();
  EXPECT_EQ(sound.DSound()->CooperativeLevel(), DSSCL_WRITEPRIMARY);
  sound.SetOptions(0);
  sound.Finalize();
  sound.Initialize();
  EXPECT_EQ(sound.DSound()->CooperativeLevel(), DSSCL_NORMAL);
  // The primary format needs more than the normal level; failure is only recorded.
  EXPECT_FALSE(sound.Primary()->SetFormat(Wave::MakePcmFormat(44100, 16, 2)));
  EXPECT_EQ(sound.Primary()->ErrorCode(), DSERR_PRIOLEVELNEEDED);
}

TEST_F(DXSoundTest, AWindowlessDeviceAndAMissingOutputRaise) {
  TDXSound orphan(nullptr);
  try {
    orphan.Initialize();
    FAIL();
  } catch (const EDXSoundError& e) {
    EXPECT_STREQ(e.what(), "Form not found");
  }
  CaptureTape::Settings refusing;
  refusing.refuseOpen = true;
  SetAudioOutputFactory(CaptureFactory(std::make_shared<CaptureTape>(refusing)));
  TDXSound sound(&window);
  bool finalized = false;
  sound.OnFinalize = [&](TDXSound&) { finalized = true; };
  try {
    sound.Initialize();
    FAIL();
  } catch (const EDirectSoundError& e) {
    EXPECT_STREQ(e.what(), "DirectSound cannot be initialized");
  }
  EXPECT_FALSE(sound.Initialized());
  EXPECT_FALSE(finalized);
  // Kit entries then do nothing on Play.
  TDXWaveList kit(ui);
  kit.Items.Add().SetWave(MakeWave16(Ramp(10)));
  kit.SetDXSound(&sound);
  EXPECT_NO_THROW(kit.Play(0));
  EXPECT_EQ(kit.PlayingCount(), 0);
  SetAudioOutputFactory(nullptr);
  EXPECT_THROW(sound.Initialize(), EDirectSoundError);
  sound.AutoInitialize = true;
  EXPECT_NO_THROW(sound.Loaded());  // failures at load time are ignored
}

class WaveListTest : public DXSoundTest {
 protected:
  TDXSound sound{&window};
  TDXWaveList kit{ui};
  std::vector<int16_t> samples = Ramp(300);
  void SetUp() override {
    DXSoundTest::SetUp();
    sound.SetOptions(soGlobalFocus | soStickyFocus | soExclusive);
    sound.Initialize();
    kit.Items.Add();  // the blank
    kit.Items.Add().SetWave(MakeWave16(samples));
    kit.SetDXSound(&sound);
  }
};

TEST_F(WaveListTest, StickyFocusWinsOverGlobal) {
  ASSERT_TRUE(kit.Items[1].Initialized);
  EXPECT_EQ(kit.Items[1].Buffer->Flags(), 0x40E0u);
  sound.SetOptions(soGlobalFocus);
  kit.Restore();
  EXPECT_EQ(kit.Items[1].Buffer->Flags(), 0x80E0u);
  kit.Play(0);  // the blank entry has nothing to play
  EXPECT_EQ(kit.PlayingCount(), 0);
}

TEST_F(WaveListTest, TriggersOverlapAndTheSweepFreesThemOnceEnded) {
  kit.Play(1);
  auto out = Render(100);
  kit.Play(1);
  out = Render(250);
  // The first is 100 frames in when the second starts: both sound together.
  for (int f = 0; f < 200; ++f)
    ASSERT_EQ(In16(out[2 * f]), samples[2 * (f + 100)] + samples[2 * f]) << f;
  for (int f = 200; f < 250; ++f) ASSERT_EQ(In16(out[2 * f]), samples[2 * f]) << f;
  EXPECT_EQ(kit.PlayingCount(), 2);
  ui.FireTimers();
  EXPECT_EQ(kit.PlayingCount(), 1);  // the second still has 50 frames to go
  Render(100);
  ui.FireTimers();
  EXPECT_EQ(kit.PlayingCount(), 0);
  EXPECT_EQ(ui.LiveTimers(), 1);
  sound.Finalize();
  EXPECT_EQ(ui.LiveTimers(), 0);
  EXPECT_FALSE(kit.Items[1].Initialized);
}

TEST_F(WaveListTest, PanAndVolumeApplyToTheNextTriggerOnly) {
  kit.Play(1);
  Render(10);
  kit.Items[1].Pan = -10000;
  kit.Items[1].Volume = -600;
  auto out = Render(10);
  EXPECT_EQ(In16(out[1]), samples[2 * 10 + 1]);  // the sounding copy is unchanged
  kit.Play(1);
  out = Render(1);
  EXPECT_EQ(In16(out[1]), samples[2 * 20 + 1]);  // the new copy is silent on the right
  EXPECT_NEAR(In16(out[0]), samples[2 * 20] + samples[0] * std::pow(10.0, -0.3), 1e-2);
}

TEST_F(WaveListTest, ALostBufferReloadsTheKitOnceAndFiresOnRestore) {
  int restores = 0;
  sound.OnRestore = [&](TDXSound&) { ++restores; };
  sound.DSound()->SimulateBufferLoss();
  EXPECT_TRUE(kit.Items[1].Buffer->Status() & DSBSTATUS_BUFFERLOST);
  TDirectSoundBuffer probe(*sound.DSound());
  probe.Duplicate(*kit.Items[1].Buffer);
  EXPECT_FALSE(probe.Play());  // reports the loss: the device restores
  EXPECT_EQ(probe.ErrorCode(), DSERR_BUFFERLOST);
  EXPECT_EQ(restores, 1);
  EXPECT_FALSE(kit.Items[1].Buffer->Status() & DSBSTATUS_BUFFERLOST);
  kit.Play(1);
  const auto out = Render(5);
  EXPECT_EQ(In16(out[2]), samples[2]);
}

TEST_F(WaveListTest, EntriesAddedLaterLoadOnFirstPlay) {
  kit.Items.Add().SetWave(MakeWave16(samples));
  EXPECT_EQ(kit.Items[2].Buffer, nullptr);
  kit.Play(2);
  EXPECT_TRUE(kit.Items[2].Initialized);
  EXPECT_EQ(In16(Render(1)[0]), samples[0]);
  kit.SetDXSound(nullptr);  // leaving the device frees the kit's buffers
  EXPECT_EQ(kit.Items[2].Buffer, nullptr);
  EXPECT_EQ(kit.PlayingCount(), 0);
  kit.Play(2);
  EXPECT_EQ(kit.PlayingCount(), 0);
}

TEST_F(DXSoundTest, AKitOutlivesItsDevice) {
  TDXWaveList kit(ui);
  kit.Items.Add().SetWave(MakeWave16(Ramp(10)));
  {
    TDXSound sound(&window);
    sound.Initialize();
    kit.SetDXSound(&sound);
    kit.Play(0);
    EXPECT_EQ(kit.PlayingCount(), 1);
  }
  EXPECT_EQ(kit.DXSound(), nullptr);
  EXPECT_FALSE(kit.Initialized());
  EXPECT_EQ(kit.PlayingCount(), 0);
  kit.Play(0);
}

}  // namespace
