#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "common/Exception.h"
#include "common/ManualUiThread.h"
#include "kit/AudioStream.h"
#include "kit/SoundTestSupport.h"
#include "support/TempDir.h"

namespace {

using namespace std::chrono_literals;

// Samples that differ from frame to frame and channel to channel.
std::vector<int16_t> Pattern(int frames) {
  std::vector<int16_t> s;
  for (int i = 0; i < frames; ++i) {
    s.push_back(static_cast<int16_t>((i * 7919) % 30011 + 1));
    s.push_back(static_cast<int16_t>(-((i * 104729) % 29989) - 1));
  }
  return s;
}

class AudioStreamTest : public ::testing::Test {
 protected:
  TempDir dir;
  ManualUiThread ui;
  std::shared_ptr<CaptureTape> tape = ManualTape();
  TDirectSound device{std::make_unique<CaptureOutput>(tape)};

  std::string WriteWav(const std::string& name, const std::vector<int16_t>& samples) {
    const auto path = dir / name;
    MakeWave16(samples).SaveToFile(path);
    return path.string();
  }

  // Renders in 100 ms steps, each followed by the refill it calls for, until
  // the stream stops; returns every frame rendered.
  std::vector<float> PlayToTheEnd(TAudioStream& stream, int maxSteps) {
    std::vector<float> out;
    for (int step = 0; step < maxSteps && stream.Playing(); ++step) {
      tape->Clear();
      tape->RenderFrames(kRate / 10);
      const auto samples = tape->Samples();
      out.insert(out.end(), samples.begin(), samples.end());
      const int64_t before = stream.Position();
      EXPECT_TRUE(
          ui.PumpUntil([&] { return stream.Position() != before || !stream.Playing(); }, 5s));
    }
    return out;
  }
};

TEST_F(AudioStreamTest, AStreamedFilePlaysItsDataThenSilenceThenStopsByItself) {
  const auto samples = Pattern(kRate * 3 / 2);  // longer than the ring
  TAudioFileStream stream(device, ui);
  stream.SetFileName(WriteWav("long.wav", samples));
  EXPECT_EQ(stream.RingSize(), kRate * 4);
  EXPECT_EQ(stream.Buffer().Flags(), 0x100E0u);
  stream.Play();
  const auto out = PlayToTheEnd(stream, 40);
  EXPECT_FALSE(stream.Playing());
  ASSERT_GT(out.size(), samples.size());
  for (size_t i = 0; i < samples.size(); ++i) ASSERT_EQ(In16(out[i]), samples[i]) << i;
  for (size_t i = samples.size(); i < out.size(); ++i) ASSERT_EQ(out[i], 0.0f) << i;
  EXPECT_EQ(stream.Position(), static_cast<int64_t>(samples.size() * 2));
  // Stopped: nothing more sounds and no refill runs.
  tape->Clear();
  tape->RenderFrames(kRate / 10);
  for (float s : tape->Samples()) ASSERT_EQ(s, 0.0f);
  ui.PumpFor(120ms);
  EXPECT_EQ(stream.Position(), static_cast<int64_t>(samples.size() * 2));
}

// What a waveform's play line follows: between two refills the position
// moves on with the ring cursor the mixer reports, also past the ring's end.
TEST_F(AudioStreamTest, ThePlayingPositionFollowsTheMixersCursorBetweenRefills) {
  const int frames = kRate * 3 / 2;  // longer than the ring
  TAudioFileStream stream(device, ui);
  stream.SetFileName(WriteWav("long.wav", Pattern(frames)));
  EXPECT_EQ(stream.PlayingPosition(), 0);
  stream.Play();
  int64_t rendered = 0;
  for (int step = 0; step < 30; ++step) {
    const int block = kRate / 20 + 240 * (step % 3);  // uneven steps
    ASSERT_TRUE(tape->RenderFrames(block));
    rendered += block;
    const int64_t playing = std::min<int64_t>(rendered, frames) * 4;
    ASSERT_EQ(stream.PlayingPosition(), playing) << "step " << step;
    if (step % 3 == 2) {
      const int64_t before = stream.Position();
      ASSERT_TRUE(
          ui.PumpUntil([&] { return stream.Position() != before || !stream.Playing(); }, 5s));
      ASSERT_EQ(stream.PlayingPosition(), playing) << "after the refill of step " << step;
    }
  }
  EXPECT_EQ(stream.PlayingPosition(), int64_t{frames} * 4);
  stream.Stop();
  EXPECT_EQ(stream.PlayingPosition(), stream.Position());
}

TEST_F(AudioStreamTest, ARefillAtTheRingsEndCountsNoWholeRingTwice) {
  const int frames = kRate * 3 / 2;
  TAudioFileStream stream(device, ui);
  stream.SetFileName(WriteWav("long.wav", Pattern(frames)));
  stream.Play();
  for (int half = 0; half < 2; ++half) {
    ASSERT_TRUE(tape->RenderFrames(kRate / 2));
    const int64_t before = stream.Position();
    ASSERT_TRUE(ui.PumpUntil([&] { return stream.Position() != before; }, 5s));
  }
  // The mixer's cursor stands at the ring's end; more refills come before
  // it moves on.
  ASSERT_EQ(stream.Position(), int64_t{kRate} * 4);
  ui.PumpFor(200ms);
  EXPECT_EQ(stream.Position(), int64_t{kRate} * 4);
  EXPECT_TRUE(stream.Playing());
  ASSERT_TRUE(tape->RenderFrames(kRate / 10));
  ui.PumpFor(120ms);
  EXPECT_EQ(stream.PlayingPosition(), int64_t{kRate} * 4 * 11 / 10);
}

TEST_F(AudioStreamTest, AFileShorterThanTheRingPlaysOnce) {
  const auto samples = Pattern(kRate / 4);
  TAudioFileStream stream(device, ui);
  stream.SetFileName(WriteWav("short.wav", samples));
  stream.SetFrequency(kRate);
  stream.Play();
  auto out = PlayToTheEnd(stream, 40);
  EXPECT_FALSE(stream.Playing());
  for (size_t i = 0; i < samples.size(); ++i) ASSERT_EQ(In16(out[i]), samples[i]) << i;
  for (size_t i = samples.size(); i < out.size(); ++i) ASSERT_EQ(out[i], 0.0f) << i;
  tape->Clear();
  tape->RenderFrames(kRate * 6 / 5);  // past where the ring would come round again
  for (float s : tape->Samples()) ASSERT_EQ(s, 0.0f);
  // Playing again starts at the end: Position 0 restarts from the beginning.
  stream.SetPosition(0);
  stream.Play();
  tape->Clear();
  tape->RenderFrames(10);
  EXPECT_EQ(In16(tape->Samples()[0]), samples[0]);
  stream.Stop();
}

TEST_F(AudioStreamTest, PositionIsClampedAndRoundedToWholeFrames) {
  TAudioFileStream stream(device, ui);
  stream.SetFileName(WriteWav("p.wav", Pattern(100)));
  stream.SetPosition(5);
  EXPECT_EQ(stream.Position(), 4);
  stream.SetPosition(1000000);
  EXPECT_EQ(stream.Position(), 396);
  stream.SetPosition(-3);
  EXPECT_EQ(stream.Position(), 0);
  stream.SetPosition(40);
  stream.Play();
  tape->Clear();
  tape->RenderFrames(1);
  EXPECT_EQ(In16(tape->Samples()[0]), Pattern(100)[20]);
}

TEST_F(AudioStreamTest, WithoutAWaveTheStreamSaysSo) {
  TAudioFileStream stream(device, ui);
  stream.SetFileName(WriteWav("a.wav", Pattern(10)));
  stream.SetFileName("");
  EXPECT_EQ(stream.WaveStream(), nullptr);
  for (auto call : std::vector<std::function<void()>>{
           [&] { stream.Play(); }, [&] { stream.Format(); }, [&] { stream.SetPosition(0); }}) {
    try {
      call();
      ADD_FAILURE();
    } catch (const EAudioStreamError& e) {
      EXPECT_STREQ(e.what(), "WaveStream not set");
    }
  }
  // No ring buffer either.
  EXPECT_THROW(stream.Frequency(), EDirectSoundBufferError);
}

TEST_F(AudioStreamTest, AFileThatIsNotAWavLeavesNoWaveAndNoName) {
  TAudioFileStream stream(device, ui);
  stream.SetFileName(WriteWav("good.wav", Pattern(10)));
  const auto bad = dir / "notes.wav";
  std::ofstream(bad) << "these are not samples";
  try {
    stream.SetFileName(bad.string());
    FAIL();
  } catch (const EWaveStreamError& e) {
    EXPECT_STREQ(e.what(), "Wave is invalid");
  }
  EXPECT_EQ(stream.FileName(), "");
  EXPECT_EQ(stream.WaveStream(), nullptr);
  EXPECT_THROW(stream.SetFileName((dir / "missing.wav").string()), EFOpenError);
  EXPECT_EQ(stream.FileName(), "");
}

TEST_F(AudioStreamTest, WithoutADeviceTheFileOpensButPlayingRaises) {
  TAudioFileStream stream(nullptr, ui);
  const auto path = WriteWav("d.wav", Pattern(10));
  stream.SetFileName(path);
  EXPECT_EQ(stream.FileName(), path);
  EXPECT_EQ(stream.Format().size(), 18u);
  try {
    stream.Play();
    FAIL();
  } catch (const EDirectSoundBufferError& e) {
    EXPECT_STREQ(e.what(), "IDirectSoundBuffer not made");
  }
  EXPECT_FALSE(stream.Playing());
  EXPECT_THROW(stream.SetPan(0), EDirectSoundBufferError);
  EXPECT_NO_THROW(stream.RecreateBuffer());  // nothing to keep, nothing to make
  EXPECT_EQ(stream.FileName(), path);
}

TEST_F(AudioStreamTest, StoppingOrDestroyingVoidsARefillThatIsWaiting) {
  const auto path = WriteWav("w.wav", Pattern(kRate * 2));
  {
    TAudioFileStream stream(device, ui);
    stream.SetFileName(path);
    stream.Play();
    std::this_thread::sleep_for(120ms);  // a refill is now waiting for the UI thread
    tape->RenderFrames(1000);
    stream.Stop();
    ui.ProcessPending();
    EXPECT_EQ(stream.Position(), 0);
    stream.Play();
    std::this_thread::sleep_for(120ms);
  }  // destroyed with a refill waiting: must neither hang nor run it
  EXPECT_NO_THROW(ui.ProcessPending());
}

TEST_F(AudioStreamTest, RecreatingTheBufferKeepsItsSettingsAndTakesNewFocus) {
  TAudioFileStream stream(device, ui);
  stream.SetFileName(WriteWav("r.wav", Pattern(kRate)));
  stream.SetFrequency(22050);
  stream.SetPan(-400);
  stream.SetVolume(-1200);
  stream.SetPosition(400);
  stream.Play();
  device.GlobalFocus = true;
  stream.RecreateBuffer();
  EXPECT_EQ(stream.Buffer().Flags(), 0x100E0u | DSBCAPS_GLOBALFOCUS);
  EXPECT_TRUE(stream.Playing());
  EXPECT_EQ(stream.Position(), 400);
  EXPECT_EQ(stream.Frequency(), 22050u);
  EXPECT_EQ(stream.Pan(), -400);
  EXPECT_EQ(stream.Volume(), -1200);
  stream.Stop();
  EXPECT_FALSE(stream.Playing());
}

}  // namespace
