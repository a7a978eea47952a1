// The JACK output on a server of the test's own: its ports, its sound (the
// same samples the capture path gives), the port pair per instrument, xruns
// counted and the server going away and coming back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <set>

#include "kit/JackAudioOutput.h"
#include "kit/JackTestSupport.h"
#include "kit/PlayTime.h"
#include "kit/SoundTestSupport.h"
#include "kit/SoundTrouble.h"
#include "kit/StudioOutputs.h"
#include "kit/VoiceGroups.h"
#include "kit/WaveCollection.h"
#include "support/PrivateJack.h"

namespace {

using namespace std::chrono_literals;

std::set<std::string> PortsOf(jack_client_t* client, const char* pattern) {
  std::set<std::string> names;
  if (const char** ports = jack_get_ports(client, pattern, nullptr, 0)) {
    for (int i = 0; ports[i]; ++i) names.insert(ports[i]);
    jack_free(ports);
  }
  return names;
}

std::vector<int16_t> Level(int frames, int16_t left, int16_t right) {
  std::vector<int16_t> samples;
  for (int i = 0; i < frames; ++i) {
    samples.push_back(static_cast<int16_t>(left + (i % 50) * 7));
    samples.push_back(static_cast<int16_t>(right - (i % 30) * 11));
  }
  return samples;
}

// Three sounds, each tagged with a group, placed at frames after `start`.
struct Pattern {
  static constexpr int64_t kOffsets[] = {0, 1000, 2500};
  static constexpr uint16_t kMeters[] = {1, 2, 0};
  std::vector<std::unique_ptr<TDirectSoundBuffer>> buffers;

  explicit Pattern(TDirectSound& device) {
    buffers.push_back(MakeBuffer(device, Level(1800, 3000, -2000)));
    buffers.push_back(MakeBuffer(device, Level(900, -5000, 4000)));
    buffers.push_back(MakeBuffer(device, Ramp(700)));
    for (size_t i = 0; i < buffers.size(); ++i) buffers[i]->SetMix(0, kMeters[i]);
  }
  void PlayFrom(TDirectSound& device, int64_t start) {
    for (size_t i = 0; i < buffers.size(); ++i) {
      playtime::Scope scope(
          playtime::Moment{playtime::Clock::now(), &device.mixer(), start + kOffsets[i]});
      buffers[i]->Play();
    }
  }
  static constexpr int kLength = 3400;
};

// A tree of a kit: the blank entry, then Kick and Snare.
void PublishKickAndSnare() {
  TWaveCollection kit;
  kit.Add();
  kit.Add().SetName("Kick      [ ]");
  kit.Add().SetName("Snare     [ ]");
  PublishVoiceGroups(kit);
}

class JackOutput : public ::testing::TestWithParam<int> {
 protected:
  JackOutput() : jack(GetParam(), kRate) {}
  void SetUp() override {
    ASSERT_TRUE(jack.running()) << "jackd did not start";
    SetJackOptions(JackLinkOptions{});
    SetAudioOutputFactory(JackAudioOutputFactory());
  }
  void TearDown() override {
    SetAudioOutputFactory(nullptr);
    SetJackOptions(JackLinkOptions{});
  }
  // Frames ahead of the device's block where a pattern is safely placed.
  static int64_t Ahead(TDirectSound& device) { return device.mixer().FramesRendered() + kRate / 5; }

  PrivateJack jack;
};

TEST_P(JackOutput, TheClientHasItsPortsConnectedToThePlayback) {
  TDirectSound device(MakeAudioOutput());
  JackRecorder probe({}, 16);
  ASSERT_TRUE(probe.ok());
  const auto ports = PortsOf(probe.client(), "^Korvanto:");
  EXPECT_EQ(ports, (std::set<std::string>{"Korvanto:out_L", "Korvanto:out_R"}));
  jack_port_t* left = jack_port_by_name(probe.client(), "Korvanto:out_L");
  jack_port_t* right = jack_port_by_name(probe.client(), "Korvanto:out_R");
  ASSERT_TRUE(left && right);
  EXPECT_TRUE(jack_port_connected_to(left, "system:playback_1"));
  EXPECT_TRUE(jack_port_connected_to(right, "system:playback_2"));
  EXPECT_EQ(device.mixer().Rate(), kRate);
  EXPECT_EQ(device.mixer().PeriodFrames(), GetParam());
  EXPECT_EQ(JackBlockFrames(), GetParam());
}

TEST_P(JackOutput, WithoutTheConnectOptionNothingIsConnected) {
  JackLinkOptions options;
  options.connectToPlayback = false;
  SetJackOptions(options);
  TDirectSound device(MakeAudioOutput());
  JackRecorder probe({}, 16);
  jack_port_t* left = jack_port_by_name(probe.client(), "Korvanto:out_L");
  ASSERT_TRUE(left);
  EXPECT_EQ(jack_port_connected(left), 0);
}

// The mixer on JACK's thread gives the very samples the capture path gives
// for the same placed pattern.
TEST_P(JackOutput, RecordedOutputEqualsTheCapturePathSampleForSample) {
  std::vector<float> jackLeft, jackRight;
  // A cycle the server skipped on a busy machine (no real time here) moves
  // the later hits: such a take is recorded again.
  for (int take = 0; take < 3; ++take) {
    const int64_t xruns = JackXruns();
    TDirectSound device(MakeAudioOutput());
    JackRecorder recorder({"Korvanto:out_L", "Korvanto:out_R"}, 3 * kRate);
    ASSERT_TRUE(recorder.ok());
    Pattern pattern(device);
    std::this_thread::sleep_for(50ms);
    pattern.PlayFrom(device, Ahead(device));
    ASSERT_TRUE(recorder.WaitFrames(kRate, 5s));
    jackLeft = recorder.Channel(0);
    jackRight = recorder.Channel(1);
    if (JackXruns() == xruns) break;
  }
  CaptureTape::Settings settings;
  settings.rate = kRate;
  settings.periodFrames = GetParam();
  settings.pacing = CaptureTape::Pacing::RealTime;
  auto tape = std::make_shared<CaptureTape>(settings);
  tape->Reserve(2 * kRate);
  {
    TDirectSound device(std::make_unique<CaptureOutput>(tape));
    Pattern pattern(device);
    std::this_thread::sleep_for(50ms);
    pattern.PlayFrom(device, Ahead(device));
    std::this_thread::sleep_for(600ms);
  }
  const auto taped = tape->Samples();
  std::vector<float> tapeLeft, tapeRight;
  for (size_t i = 0; i + 1 < taped.size(); i += 2) {
    tapeLeft.push_back(taped[i]);
    tapeRight.push_back(taped[i + 1]);
  }
  const int64_t jackOnset = FirstSound(jackLeft), tapeOnset = FirstSound(tapeLeft);
  ASSERT_GE(jackOnset, 0);
  ASSERT_GE(tapeOnset, 0);
  ASSERT_GE(jackLeft.size(), static_cast<size_t>(jackOnset + Pattern::kLength));
  ASSERT_GE(tapeLeft.size(), static_cast<size_t>(tapeOnset + Pattern::kLength));
  for (int i = 0; i < Pattern::kLength; ++i) {
    ASSERT_EQ(jackLeft[jackOnset + i], tapeLeft[tapeOnset + i]) << "frame " << i;
    ASSERT_EQ(jackRight[jackOnset + i], tapeRight[tapeOnset + i]) << "frame " << i;
  }
  EXPECT_EQ(FirstSound(jackLeft, jackOnset + Pattern::kLength), -1);
}

// Each instrument on its own pair, sounds of no entry on Samples; the main
// pair is their sum.
TEST_P(JackOutput, InstrumentPortsSumToTheMainPair) {
  PublishKickAndSnare();
  JackLinkOptions options;
  options.groupPorts = true;
  SetJackOptions(options);
  TDirectSound device(MakeAudioOutput());
  const std::vector<std::string> stems{"out", "Kick", "Snare", "Samples"};
  std::vector<std::string> sources;
  for (const auto& stem : stems) {
    sources.push_back("Korvanto:" + stem + "_L");
    sources.push_back("Korvanto:" + stem + "_R");
  }
  JackRecorder recorder(sources, 2 * kRate);
  ASSERT_TRUE(recorder.ok());
  EXPECT_EQ(PortsOf(recorder.client(), "^Korvanto:").size(), sources.size());
  Pattern pattern(device);
  std::this_thread::sleep_for(50ms);
  pattern.PlayFrom(device, Ahead(device));
  ASSERT_TRUE(recorder.WaitFrames(kRate, 5s));
  std::vector<std::vector<float>> channels;
  for (size_t c = 0; c < sources.size(); ++c) channels.push_back(recorder.Channel(c));
  const int64_t onset = FirstSound(channels[0]);
  ASSERT_GE(onset, 0);
  for (int side = 0; side < 2; ++side) {
    for (size_t i = 0; i < channels[0].size(); ++i) {
      const float sum = channels[2 + side][i] + channels[4 + side][i] + channels[6 + side][i];
      ASSERT_NEAR(channels[side][i], sum, 1e-6) << "side " << side << " frame " << i;
    }
  }
  // Each group carries its own sound only, from its own frame.
  EXPECT_EQ(FirstSound(channels[2]), onset + Pattern::kOffsets[0]);
  EXPECT_EQ(FirstSound(channels[4]), onset + Pattern::kOffsets[1]);
  EXPECT_EQ(FirstSound(channels[6]), onset + Pattern::kOffsets[2]);
}

TEST_P(JackOutput, InstrumentPortsGoWhenTheOptionIsTurnedOff) {
  PublishKickAndSnare();
  JackLinkOptions options;
  options.groupPorts = true;
  SetJackOptions(options);
  TDirectSound device(MakeAudioOutput());
  JackRecorder probe({}, 16);
  EXPECT_EQ(PortsOf(probe.client(), "^Korvanto:").size(), 8u);
  SetJackOptions(JackLinkOptions{});
  EXPECT_EQ(PortsOf(probe.client(), "^Korvanto:"),
            (std::set<std::string>{"Korvanto:out_L", "Korvanto:out_R"}));
}

void PublishKit(const std::vector<std::string>& names) {
  TWaveCollection kit;
  kit.Add();
  for (const auto& name : names)
    kit.Add().SetName(name + std::string(10 - name.size(), ' ') + "[ ]");
  PublishVoiceGroups(kit);
}

// A DAW's track recording Snare_L keeps it through kit changes: the kit
// reordered, or a kit without the snare and the snare's kit again.
TEST_P(JackOutput, AnInstrumentPortKeepsItsConnectionThroughKitChanges) {
  const std::vector<std::vector<std::vector<std::string>>> changes{
      {{"Snare", "Kick"}},
      {{"Kick", "Hat"}, {"Hat", "Snare", "Kick"}},
  };
  for (const auto& kits : changes) {
    PublishKickAndSnare();
    JackLinkOptions options;
    options.groupPorts = true;
    SetJackOptions(options);
    TDirectSound device(MakeAudioOutput());
    JackRecorder recorder({"Korvanto:Snare_L"}, 4096);
    ASSERT_TRUE(recorder.ok());
    // The server shows a connection to every client from its next cycle on.
    ASSERT_TRUE(recorder.WaitFrames(256, 5s));
    for (const auto& kit : kits) PublishKit(kit);
    recorder.Restart();
    ASSERT_TRUE(recorder.WaitFrames(256, 5s));
    jack_port_t* snare = jack_port_by_name(recorder.client(), "Korvanto:Snare_L");
    ASSERT_TRUE(snare) << kits.size() << " changes";
    EXPECT_EQ(jack_port_connected(snare), 1) << kits.size() << " changes";
    EXPECT_TRUE(PortsOf(recorder.client(), "^Korvanto:Kick_R$").size() == 1);
    SetJackOptions(JackLinkOptions{});
  }
}

TEST_P(JackOutput, AnXrunIsCountedOnce) {
  TDirectSound device(MakeAudioOutput());
  JackRecorder recorder({"Korvanto:out_L"}, kRate);
  ASSERT_TRUE(recorder.WaitFrames(kRate / 10, 5s));
  const int64_t before = JackXruns();
  const SoundTroubleCounts troubleBefore = soundtrouble::Totals();
  recorder.StallOnce(60ms);
  const auto end = std::chrono::steady_clock::now() + 3s;
  while (JackXruns() == before && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(5ms);
  std::this_thread::sleep_for(200ms);
  EXPECT_GE(JackXruns(), before + 1);
  EXPECT_GE(soundtrouble::Totals().lateCallbacks, troubleBefore.lateCallbacks + 1);
}

INSTANTIATE_TEST_SUITE_P(Blocks, JackOutput, ::testing::Values(128, 256));

// The server going away: the mixers play on (through SDL or at its pace),
// nothing crashes, and the client is back on the next server.
TEST(JackOutputLoss, TheServerGoingAwayFallsBackAndComesBack) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);  // never a user's sound server
  std::optional<PrivateJack> first(std::in_place, 256, kRate);
  ASSERT_TRUE(first->running());
  SetAudioOutputFactory(JackAudioOutputFactory());
  SetJackOptions(JackLinkOptions{});
  TDirectSound device(MakeAudioOutput());
  LosableDevice& watch = JackSoundDevice();
  EXPECT_FALSE(watch.Poll().removed);
  first.reset();
  const auto end = std::chrono::steady_clock::now() + 10s;
  while (!watch.Poll().removed && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(20ms);
  ASSERT_TRUE(watch.Poll().removed);
  const int64_t rendered = device.mixer().FramesRendered();
  std::this_thread::sleep_for(300ms);
  EXPECT_GT(device.mixer().FramesRendered(), rendered) << "the mixer stopped with the server";

  PrivateJack second(256, kRate);
  ASSERT_TRUE(second.running());
  ASSERT_TRUE(watch.Reopen());
  EXPECT_FALSE(watch.Poll().removed);
  JackRecorder recorder({"Korvanto:out_L"}, kRate);
  ASSERT_TRUE(recorder.ok());
  EXPECT_EQ(PortsOf(recorder.client(), "^Korvanto:out").size(), 2u);
  auto sound = MakeBuffer(device, Level(500, 4000, 4000));
  sound->Play();
  ASSERT_TRUE(recorder.WaitFrames(kRate / 2, 5s));
  EXPECT_GE(FirstSound(recorder.Channel(0)), 0) << "no sound after the server came back";
  SetAudioOutputFactory(nullptr);
}

}  // namespace

namespace {

class OneDriver : public SoundOutputs {
 public:
  std::vector<std::string> Drivers() override { return {"alsa", "jack"}; }
  std::string CurrentDriver() override { return "alsa"; }
  std::vector<std::string> Devices() override { return {"Speakers"}; }
  int Rate() override { return 44100; }
  bool Use(const SoundOutputChoice& choice) override {
    used.push_back(choice);
    return true;
  }
  std::vector<SoundOutputChoice> used;
};

// JACK is offered after SDL's drivers (SDL's own JACK driver, where it has
// one, gives way); a run on SDL takes it from its next start, when a server
// answers.
TEST(StudioOutputs, JackIsOfferedBesideSdlAndTakesEffectAtTheNextStart) {
  OneDriver sdl;
  StudioSoundOutputs outputs(sdl, false);
  EXPECT_EQ(outputs.Drivers(), (std::vector<std::string>{"alsa", "jack"}));
  EXPECT_EQ(outputs.CurrentDriver(), "alsa");
  EXPECT_EQ(outputs.Devices(), std::vector<std::string>{"Speakers"});
  SoundOutputChoice jack;
  jack.driver = kJackDriver;
  ::setenv("JACK_DEFAULT_SERVER", "korvanto-test-no-such-server", 1);
  EXPECT_FALSE(outputs.Use(jack)) << "no server answers";
  ::unsetenv("JACK_DEFAULT_SERVER");
  {
    PrivateJack server(256, kRate);
    ASSERT_TRUE(server.running());
    EXPECT_TRUE(outputs.Use(jack));
    EXPECT_EQ(outputs.NoteOnUse(jack), "Korvanto plays through JACK from its next start.");
  }
  EXPECT_TRUE(sdl.used.empty()) << "choosing JACK leaves SDL's output alone";
  const SoundOutputChoice alsa{"alsa", "Speakers", 256};
  EXPECT_TRUE(outputs.Use(alsa));
  EXPECT_EQ(outputs.NoteOnUse(alsa), "");
  ASSERT_EQ(sdl.used.size(), 1u);
}

}  // namespace
