#include <gtest/gtest.h>

#include <cmath>

#include "common/Exception.h"
#include "kit/SoundTestSupport.h"
#include "support/TempDir.h"

namespace {

class SoundBufferTest : public ::testing::Test {
 protected:
  std::shared_ptr<CaptureTape> tape = ManualTape();
  TDirectSound device{std::make_unique<CaptureOutput>(tape)};

  std::vector<float> Render(int frames) {
    tape->Clear();
    EXPECT_TRUE(tape->RenderFrames(frames));
    return tape->Samples();
  }
};

TEST_F(SoundBufferTest, PlaysSampleForSampleAtItsOwnRateThenSilence) {
  const auto samples = Ramp(1000);
  auto buffer = MakeBuffer(device, samples);
  ASSERT_TRUE(buffer->Play());
  EXPECT_EQ(buffer->Status(), DSBSTATUS_PLAYING);
  const auto out = Render(1200);
  for (size_t i = 0; i < samples.size(); ++i) ASSERT_EQ(In16(out[i]), samples[i]) << i;
  for (size_t i = samples.size(); i < out.size(); ++i) ASSERT_EQ(out[i], 0.0f) << i;
  EXPECT_EQ(buffer->Status(), 0u);
  EXPECT_EQ(buffer->Position(), 0u);  // played to the end: starts over next time
}

TEST_F(SoundBufferTest, TwiceTheFrequencyLastsHalfAsLong) {
  const auto samples = Ramp(1000);
  auto buffer = MakeBuffer(device, samples);
  buffer->SetFrequency(2 * kRate);
  EXPECT_EQ(buffer->Frequency(), 2u * kRate);
  buffer->Play();
  const auto out = Render(1000);
  for (int f = 0; f < 500; ++f) {
    ASSERT_EQ(In16(out[2 * f]), samples[4 * f]) << f;
    ASSERT_EQ(In16(out[2 * f + 1]), samples[4 * f + 1]) << f;
  }
  for (int f = 500; f < 1000; ++f) ASSERT_EQ(out[2 * f], 0.0f) << f;
}

TEST_F(SoundBufferTest, HalfTheFrequencyInterpolatesBetweenSamples) {
  const std::vector<int16_t> samples = {0, 0, 1000, -1000, 2000, -2000, 3000, -3000};
  auto buffer = MakeBuffer(device, samples);
  buffer->SetFrequency(kRate / 2);
  buffer->Play();
  const auto out = Render(10);
  const double left[] = {0, 500, 1000, 1500, 2000, 2500, 3000, 1500, 0, 0};
  for (int f = 0; f < 10; ++f) {
    EXPECT_NEAR(In16(out[2 * f]), left[f], 1e-3) << f;
    EXPECT_NEAR(In16(out[2 * f + 1]), -left[f], 1e-3) << f;
  }
}

TEST_F(SoundBufferTest, PanAndVolumeInHundredthsOfADecibel) {
  const auto samples = Ramp(100);
  auto left = MakeBuffer(device, samples);
  left->SetPan(-10000);
  left->Play();
  auto out = Render(100);
  for (int f = 0; f < 100; ++f) {
    ASSERT_EQ(In16(out[2 * f]), samples[2 * f]);
    ASSERT_EQ(out[2 * f + 1], 0.0f);
  }
  auto quiet = MakeBuffer(device, samples);
  quiet->SetVolume(-600);
  quiet->Play();
  out = Render(100);
  const double gain = std::pow(10.0, -0.3);
  for (size_t i = 0; i < samples.size(); ++i)
    ASSERT_NEAR(In16(out[i]), samples[i] * gain, std::abs(samples[i]) * 1e-5 + 1e-3);
  // Pan toward the right keeps the right channel and attenuates the left.
  auto right = MakeBuffer(device, samples);
  right->SetPan(2000);
  right->Play();
  out = Render(100);
  for (int f = 0; f < 100; ++f) {
    ASSERT_NEAR(In16(out[2 * f]), samples[2 * f] * 0.1, std::abs(samples[2 * f]) * 1e-5);
    ASSERT_EQ(In16(out[2 * f + 1]), samples[2 * f + 1]);
  }
}

TEST_F(SoundBufferTest, DuplicatesShareBytesAndSumWhenStartedTogether) {
  const auto samples = Ramp(200);
  auto source = MakeBuffer(device, samples);
  source->SetPan(300);
  TDirectSoundBuffer a(device), b(device);
  ASSERT_TRUE(a.Duplicate(*source));
  ASSERT_TRUE(b.Duplicate(*source));
  EXPECT_EQ(a.Pan(), 300);  // settings come along
  a.SetPan(0);
  b.SetPan(0);
  a.Play();
  b.Play();
  auto out = Render(200);
  for (size_t i = 0; i < samples.size(); ++i) ASSERT_EQ(In16(out[i]), 2.0 * samples[i]) << i;
  // Shared bytes: writing the source changes what the duplicate plays.
  TLockRegions r;
  ASSERT_TRUE(source->Lock(0, 4, r));
  std::memset(r.ptr1, 0, 4);
  source->Unlock(r);
  a.Play();
  out = Render(2);
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_EQ(In16(out[2]), samples[2]);
}

TEST_F(SoundBufferTest, SumsAreClippedAtTheOutput) {
  std::vector<int16_t> loud(20, 30000);
  auto a = MakeBuffer(device, loud), b = MakeBuffer(device, loud);
  a->Play();
  b->Play();
  const auto out = Render(10);
  for (float s : out) ASSERT_EQ(s, 1.0f);
}

TEST_F(SoundBufferTest, LoopingWrapsAndTheCursorFollows) {
  const auto samples = Ramp(100);
  auto buffer = MakeBuffer(device, samples);
  buffer->Play(DSBPLAY_LOOPING);
  EXPECT_EQ(buffer->Status(), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  auto out = Render(250);
  for (int f = 0; f < 250; ++f) ASSERT_EQ(In16(out[2 * f]), samples[2 * (f % 100)]) << f;
  EXPECT_EQ(buffer->Position(), 50u * 4);
  buffer->SetPosition(10 * 4 + 3);  // rounds down to a whole frame
  EXPECT_EQ(buffer->Position(), 10u * 4);
  out = Render(1);
  EXPECT_EQ(In16(out[0]), samples[20]);
  buffer->Stop();
  EXPECT_EQ(buffer->Status(), 0u);
  out = Render(10);
  for (float s : out) ASSERT_EQ(s, 0.0f);
  buffer->Play();  // continues where it stopped
  out = Render(1);
  EXPECT_EQ(In16(out[0]), samples[2 * 11]);
}

TEST_F(SoundBufferTest, LockWrapsIntoTwoRegions) {
  auto buffer = MakeBuffer(device, Ramp(100));
  TLockRegions r;
  ASSERT_TRUE(buffer->Lock(360, 80, r));
  EXPECT_EQ(r.bytes1, 40u);
  EXPECT_EQ(r.bytes2, 40u);
  EXPECT_EQ(r.ptr2 + 360, r.ptr1);
  EXPECT_FALSE(buffer->Lock(400, 4, r));
  EXPECT_EQ(buffer->ErrorCode(), DSERR_INVALIDPARAM);
}

TEST_F(SoundBufferTest, CallsWithoutAPlatformBufferRaise) {
  TDirectSoundBuffer empty(device);
  EXPECT_FALSE(empty.Made());
  for (auto call : std::vector<std::function<void()>>{
           [&] { empty.Play(); }, [&] { empty.Status(); }, [&] { empty.SetPan(0); },
           [&] { empty.Volume(); }, [&] { empty.Position(); }}) {
    try {
      call();
      ADD_FAILURE() << "no error";
    } catch (const EDirectSoundBufferError& e) {
      EXPECT_STREQ(e.what(), "IDirectSoundBuffer not made");
    }
  }
}

TEST_F(SoundBufferTest, OutOfRangeSettingsAreRecordedNotRaised) {
  auto buffer = MakeBuffer(device, Ramp(10));
  buffer->SetPan(10001);
  EXPECT_EQ(buffer->ErrorCode(), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->Pan(), 0);
  buffer->SetVolume(1);
  EXPECT_EQ(buffer->Volume(), 0);
  buffer->SetFrequency(50);
  EXPECT_EQ(buffer->Frequency(), static_cast<uint32_t>(kRate));
  buffer->SetFrequency(0);  // the original rate
  EXPECT_EQ(buffer->Frequency(), static_cast<uint32_t>(kRate));
  EXPECT_EQ(buffer->ErrorCode(), DS_OK);
  TDirectSoundBuffer noFormat(device);
  EXPECT_FALSE(noFormat.CreateBuffer({0xE0, 100, {1, 2, 3}}));
  EXPECT_EQ(noFormat.ErrorCode(), DSERR_BADFORMAT);
}

TEST_F(SoundBufferTest, DestroyingTheDeviceLeavesBuffersUnmade) {
  auto tape2 = ManualTape();
  auto other = std::make_unique<TDirectSound>(std::make_unique<CaptureOutput>(tape2));
  auto buffer = MakeBuffer(*other, Ramp(10));
  buffer->Play();
  other.reset();
  EXPECT_FALSE(buffer->Made());
  EXPECT_THROW(buffer->Play(), EDirectSoundBufferError);
}

TEST_F(SoundBufferTest, EightBitMonoIsCentredAndSpreadToBothChannels) {
  TDirectSoundBuffer buffer(device);
  ASSERT_TRUE(buffer.CreateBuffer({0xE0, 4, Wave::MakePcmFormat(kRate, 8, 1)}));
  TLockRegions r;
  buffer.Lock(0, 4, r);
  const uint8_t bytes[] = {128, 192, 64, 255};
  std::memcpy(r.ptr1, bytes, 4);
  buffer.Unlock(r);
  buffer.Play();
  const auto out = Render(4);
  const float expected[] = {0.0f, 0.5f, -0.5f, 127.0f / 128};
  for (int f = 0; f < 4; ++f) {
    EXPECT_EQ(out[2 * f], expected[f]);
    EXPECT_EQ(out[2 * f + 1], expected[f]);
  }
}

TEST_F(SoundBufferTest, TheTapeSavesWhatWasMixedAsA16BitWavFile) {
  const auto samples = Ramp(50);
  auto buffer = MakeBuffer(device, samples);
  buffer->Play();
  tape->RenderFrames(60);
  TempDir dir;
  tape->SaveWav(dir / "mix.wav");
  Wave::TWave saved;
  saved.LoadFromFile(dir / "mix.wav");
  EXPECT_EQ(saved.SamplesPerSec(), static_cast<uint32_t>(kRate));
  EXPECT_EQ(saved.BitsPerSample(), 16);
  ASSERT_EQ(saved.Size(), 60 * 4);
  const auto* data = reinterpret_cast<const int16_t*>(saved.Data());
  for (size_t i = 0; i < samples.size(); ++i) EXPECT_NEAR(data[i], samples[i], 1) << i;
  EXPECT_EQ(data[100], 0);
}

// A long level on both channels: left marks every voice, right tells them apart.
std::unique_ptr<TDirectSoundBuffer> Level(TDirectSound& device, int16_t left, int16_t right) {
  std::vector<int16_t> samples;
  for (int i = 0; i < kRate / 2; ++i) {
    samples.push_back(left);
    samples.push_back(right);
  }
  return MakeBuffer(device, samples);
}

TEST_F(SoundBufferTest, WhenEveryVoicePlaysTheOldestIsStolenAndTheNewestIsHeard) {
  constexpr int kSlots = 512, kTriggers = 600, kStolen = kTriggers - kSlots;
  std::vector<std::unique_ptr<TDirectSoundBuffer>> buffers;
  for (int i = 0; i < kTriggers; ++i)
    buffers.push_back(Level(device, 1, i < kStolen ? 1000 : i >= kSlots ? 1 : 0));
  for (int i = 0; i < kSlots; ++i) ASSERT_TRUE(buffers[i]->Play()) << i;
  Render(240);  // they all sound
  for (int i = kSlots; i < kTriggers; ++i) ASSERT_TRUE(buffers[i]->Play()) << i;
  Render(240);  // the stolen ones fade out
  const auto out = Render(240);
  for (int f = 0; f < 240; ++f) {
    ASSERT_NEAR(In16(out[2 * f]), kSlots, 0.01) << f;
    ASSERT_NEAR(In16(out[2 * f + 1]), kStolen, 0.01) << f;  // only the newest, no old one
  }
  for (int i = 0; i < kTriggers; ++i)
    EXPECT_EQ(buffers[i]->Playing(), i >= kStolen) << i;
  EXPECT_EQ(device.voices().Steals(), kStolen);
  EXPECT_EQ(device.voices().Dropped(), 0);
}

TEST_F(SoundBufferTest, StealingSparesALoopingSoundWhileOneShotsPlay) {
  auto ring = Level(device, 1, 0);
  ring->Play(DSBPLAY_LOOPING);  // the oldest voice of all
  std::vector<std::unique_ptr<TDirectSoundBuffer>> shots;
  for (int i = 0; i < 512; ++i) {
    shots.push_back(Level(device, 1, 0));
    ASSERT_TRUE(shots.back()->Play());
  }
  Render(240);
  EXPECT_TRUE(ring->Playing());
  EXPECT_FALSE(shots[0]->Playing());
  EXPECT_TRUE(shots[1]->Playing());
  // A stolen buffer plays again when asked, taking the next oldest voice.
  ASSERT_TRUE(shots[0]->Play());
  EXPECT_TRUE(shots[0]->Playing());
  EXPECT_FALSE(shots[1]->Playing());
  EXPECT_EQ(device.voices().Steals(), 2);
}

}  // namespace
