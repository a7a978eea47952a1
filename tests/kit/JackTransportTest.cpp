// A DAW's transport (a client of the test's own) starts, moves and stops the
// song: the first onset falls on the transport frame of its step, to the
// sample, whatever the position it starts from.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "kit/JackAudioOutput.h"
#include "kit/JackTestSupport.h"
#include "kit/JackTransportLink.h"
#include "song/PlaybackTestSupport.h"
#include "support/PrivateJack.h"

namespace {

using namespace std::chrono_literals;

constexpr int kStepFrames = 4608;  // tempo 48: a 96 ms step at 48 kHz
const std::string kKick = "Kick      [ ]";

// The kick on every fourth step, four bars, then the end.
std::vector<std::string> KickSong() {
  std::vector<std::string> lines{"//", "48"};
  for (int row = 0; row < 16; ++row) {
    lines.push_back(row % 4 == 0 ? kKick : "");
    for (int cell = 1; cell < 6; ++cell) lines.emplace_back();
  }
  lines.push_back("%%%");
  return lines;
}

struct JackRig {
  ManualUiThread ui;
  SoundWindow window{5};
  TDXSound device{&window};
  TDXWaveList kit{ui};
  InstrumentTable instruments;
  FakeSlots slots;
  KitPlaybackSound sound{instruments, kit, device};
  FakeHost host;
  PlaybackEngine engine{ui, host, sound};

  JackRig() {
    device.Initialize();
    kit.Items.Add();
    auto& kick = kit.Items.Add();
    kick.SetName(kKick);
    kick.SetWave(MakeWave16(std::vector<int16_t>(2 * 200, 9000)));
    kit.SetDXSound(&device);
    instruments.Rebuild(kit.Items);
    sound.SetSlotPlayer(&slots);
    host.compiled = KickSong();
    engine.SetUpTempo();
  }
  ~JackRig() {
    engine.BitBtn4Click();
    engine.EndTimers();
    kit.SetDXSound(nullptr);
    device.Finalize();
  }
};

// The transport frames of the onsets heard while the transport rolled.
std::vector<int64_t> OnsetsOnTransport(const JackRecorder& recorder) {
  const auto samples = recorder.Channel(0);
  std::vector<int64_t> onsets;
  for (const auto& block : recorder.Blocks()) {
    if (!block.rolling) continue;
    const int64_t end = std::min<int64_t>(block.firstFrame + 4096, samples.size());
    for (int64_t i = block.firstFrame; i < end; ++i) {
      const bool starts = samples[i] != 0.0f && (i == 0 || samples[i - 1] == 0.0f);
      if (starts) onsets.push_back(block.transportFrame + (i - block.firstFrame));
    }
  }
  std::sort(onsets.begin(), onsets.end());
  onsets.erase(std::unique(onsets.begin(), onsets.end()), onsets.end());
  return onsets;
}

struct Start {
  int block;
  int64_t position;    // where the DAW starts
  int64_t firstOnset;  // the transport frame of the first kick after it
};

class JackTransport : public ::testing::TestWithParam<Start> {};

TEST_P(JackTransport, TheDawsStartPutsTheFirstOnsetOnItsFrame) {
  const Start start = GetParam();
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  PrivateJack jack(start.block, kRate);
  ASSERT_TRUE(jack.running());
  SetAudioOutputFactory(JackAudioOutputFactory());
  SetJackOptions(JackLinkOptions{});
  {
    const int64_t xrunsBefore = JackXruns();
    JackRig rig;
    JackTransportLink link(rig.ui, rig.engine, rig.device);
    JackRecorder daw({"Korvanto:out_L"}, 6 * kRate);
    ASSERT_TRUE(daw.ok());
    rig.ui.PumpFor(100ms);
    jack_transport_locate(daw.client(), static_cast<jack_nframes_t>(start.position));
    jack_transport_start(daw.client());
    rig.ui.PumpUntil([&] { return rig.engine.SongPlaying(); }, 3s);
    rig.ui.PumpFor(std::chrono::milliseconds(1000 * 2 * 4 * kStepFrames / kRate + 100));
    jack_transport_stop(daw.client());
    rig.ui.PumpUntil([&] { return !rig.engine.SongPlaying(); }, 2s);
    EXPECT_FALSE(rig.engine.SongPlaying()) << "the transport's stop did not stop the song";
    const auto onsets = OnsetsOnTransport(daw);
    std::string heard;
    for (const int64_t onset : onsets) heard += " " + std::to_string(onset);
    const int64_t xruns = JackXruns() - xrunsBefore;
    ASSERT_FALSE(onsets.empty()) << "nothing heard";
    EXPECT_EQ(onsets[0], start.firstOnset) << "onsets:" << heard;
    // Blocks the server dropped (xruns on a busy machine) break the lock
    // until the song is placed again: the steps after the first are checked
    // when none came.
    if (xruns > 0) {
      std::printf("the server reported %lld xruns: later steps not checked\n",
                  static_cast<long long>(xruns));
    } else {
      ASSERT_GE(onsets.size(), 2u) << "onsets:" << heard;
      EXPECT_EQ(onsets[1], start.firstOnset + 4 * kStepFrames) << "onsets:" << heard;
    }
  }
  SetAudioOutputFactory(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Positions, JackTransport,
                         ::testing::Values(Start{256, 0, 0}, Start{128, 0, 0},
                                           Start{512, 4 * kStepFrames + 1000, 8 * kStepFrames},
                                           Start{1024, 8 * kStepFrames, 8 * kStepFrames},
                                           Start{256, 3 * kStepFrames - 1, 4 * kStepFrames}));

}  // namespace
