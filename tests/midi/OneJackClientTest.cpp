// The sound and the MIDI ports on one JACK client "Korvanto": the ports the
// server lists whatever opened first, connections kept while the MIDI ports
// move between the sound's client and their own, the server going away and
// coming back, and a note from midi_in sounding at out_L on its frame.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <set>
#include <thread>

#include "kit/JackAudioOutput.h"
#include "midi/JackNoteProbe.h"
#include "midi/MidiNotePlayer.h"
#include "midi/MidiPorts.h"
#include "midi/MidiTestSupport.h"
#include "song/PlaybackTestSupport.h"
#include "support/PrivateJack.h"

namespace {

using namespace std::chrono_literals;
using Names = std::set<std::string>;

const Names kSoundPorts{"Korvanto:out_L", "Korvanto:out_R"};
const Names kMidiPorts{"Korvanto:midi_in", "Korvanto:midi_out"};

Names Both() {
  Names all = kSoundPorts;
  all.insert(kMidiPorts.begin(), kMidiPorts.end());
  return all;
}

// A client of the test's own; tried again for a while, as a server busy
// with other clients may turn one away.
jack_client_t* OpenProbe(const char* name) {
  for (int tries = 0; tries < 40; ++tries) {
    jack_status_t status{};
    if (jack_client_t* client = jack_client_open(name, JackNoStartServer, &status)) return client;
    std::this_thread::sleep_for(50ms);
  }
  return nullptr;
}

// Every port of a client whose name begins with Korvanto (Korvanto-01 too).
Names KorvantoPorts() {
  Names names;
  jack_client_t* probe = OpenProbe("lister");
  if (!probe) return names;
  if (const char** ports = jack_get_ports(probe, "^Korvanto", nullptr, 0)) {
    for (int i = 0; ports[i]; ++i) names.insert(ports[i]);
    jack_free(ports);
  }
  jack_client_close(probe);
  return names;
}

bool Connected(const std::string& from, const std::string& to) {
  jack_client_t* probe = OpenProbe("looker");
  if (!probe) return false;
  jack_port_t* port = jack_port_by_name(probe, from.c_str());
  const bool connected = port && jack_port_connected_to(port, to.c_str());
  jack_client_close(probe);
  return connected;
}

enum class Step { OpenSound, CloseSound, OpenMidi, CloseMidi, SoundToSdl, SoundToJack };

struct Handoff {
  const char* name;
  std::vector<std::pair<Step, Names>> steps;  // each with the ports listed after it
};

class OneClient : public ::testing::TestWithParam<Handoff> {
 protected:
  void SetUp() override {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);  // never a user's sound server
    ASSERT_TRUE(jack.running()) << "jackd did not start";
    MakeWhenTaken(keyboard);
    MakeWhenTaken(synth);
    ASSERT_TRUE(keyboard && synth) << "the server took no test client";
    SetJackOptions(JackLinkOptions{});
    SetAudioOutputFactory(JackAudioOutputFactory());
  }
  // A server that just started and is busy may turn the first clients away.
  template <class Client>
  static void MakeWhenTaken(std::optional<Client>& client) {
    for (int tries = 0; tries < 40 && !client; ++tries) {
      try {
        client.emplace();
      } catch (const RtMidiError&) {
        std::this_thread::sleep_for(50ms);
      }
    }
  }
  void TearDown() override {
    ports.Close();
    sound.reset();
    PlayJackThroughSdl(false);
    SetAudioOutputFactory(nullptr);
  }
  void Take(Step step) {
    switch (step) {
      case Step::OpenSound:
        sound.emplace(MakeAudioOutput());
        break;
      case Step::CloseSound:
        sound.reset();
        break;
      case Step::OpenMidi:
        ASSERT_EQ(ports.Open(MidiSystem::Jack), "");
        ASSERT_EQ(ports.Connect({"Pads:out"}, {"Synth:in"}), "");
        break;
      case Step::CloseMidi:
        ports.Close();
        break;
      case Step::SoundToSdl:
        ASSERT_TRUE(PlayJackThroughSdl(true));
        break;
      case Step::SoundToJack:
        ASSERT_TRUE(PlayJackThroughSdl(false));
        break;
    }
  }

  PrivateJack jack{256, kRate};
  std::optional<TestKeyboard> keyboard;
  std::optional<TestSynth> synth;
  HeardLog heard;
  MidiPorts ports{{&heard}};
  std::optional<TDirectSound> sound;
};

std::vector<int> NotesOf(const std::vector<TestSynth::Arrival>& arrivals) {
  std::vector<int> notes;
  for (const auto& arrival : arrivals) notes.push_back(arrival.bytes[1]);
  return notes;
}

// After each step the server lists exactly the ports expected; the MIDI
// ports keep their connections and hear and play, whichever client they
// are on, and a synth hears each note sent once (a port that moved repeats
// none).
TEST_P(OneClient, ListsKorvantosPortsOnceAndKeepsTheMidiConnections) {
  std::vector<int> sent;
  for (size_t i = 0; i < GetParam().steps.size(); ++i) {
    const auto& [step, expected] = GetParam().steps[i];
    Take(step);
    EXPECT_EQ(KorvantoPorts(), expected) << "after step " << i;
    if (!ports.IsOpen()) continue;
    EXPECT_TRUE(Connected("Pads:out", "Korvanto:midi_in")) << "after step " << i;
    EXPECT_TRUE(Connected("Korvanto:midi_out", "Synth:in")) << "after step " << i;
    keyboard->Send({0x99, static_cast<unsigned char>(36 + i), 100});
    sent.push_back(50 + static_cast<int>(i));
    ASSERT_EQ(heard.WaitFor(sent.size()).size(), sent.size()) << "no note heard after step " << i;
    const uint8_t out[] = {0x99, static_cast<uint8_t>(sent.back()), 90};
    ports.SendAt(0, out);
    EXPECT_EQ(NotesOf(synth->WaitFor(sent.size())), sent) << "after step " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Handoffs, OneClient,
    ::testing::Values(
        Handoff{"SoundFirst", {{Step::OpenSound, kSoundPorts}, {Step::OpenMidi, Both()}}},
        Handoff{"MidiFirst", {{Step::OpenMidi, kMidiPorts}, {Step::OpenSound, Both()}}},
        Handoff{"SoundClosesAndOpensAgain",
                {{Step::OpenMidi, kMidiPorts},
                 {Step::OpenSound, Both()},
                 {Step::CloseSound, kMidiPorts},
                 {Step::OpenSound, Both()}}},
        Handoff{"PreferencesMoveTheSoundToSdlAndBack",
                {{Step::OpenSound, kSoundPorts},
                 {Step::OpenMidi, Both()},
                 {Step::SoundToSdl, kMidiPorts},
                 {Step::SoundToJack, Both()}}},
        Handoff{"MidiClosesFirst",
                {{Step::OpenSound, kSoundPorts},
                 {Step::OpenMidi, Both()},
                 {Step::CloseMidi, kSoundPorts},
                 {Step::OpenMidi, Both()}}},
        Handoff{"MidiOpensWhileTheSoundPlaysThroughSdl",
                {{Step::OpenSound, kSoundPorts},
                 {Step::SoundToSdl, {}},
                 {Step::OpenMidi, kMidiPorts},
                 {Step::SoundToJack, Both()}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The server goes away under both: the MIDI ports say so, and on the next
// server they are back on the sound's client with the sound.
TEST(OneClientLoss, TheMidiPortsComeBackWithTheSound) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  std::optional<PrivateJack> first(std::in_place, 256, kRate);
  ASSERT_TRUE(first->running());
  SetAudioOutputFactory(JackAudioOutputFactory());
  SetJackOptions(JackLinkOptions{});
  {
    TDirectSound device(MakeAudioOutput());
    HeardLog heard;
    MidiPorts ports({&heard});
    ASSERT_EQ(ports.Open(MidiSystem::Jack), "");
    first.reset();
    LosableDevice& watch = JackSoundDevice();
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (!watch.Poll().removed && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(20ms);
    ASSERT_TRUE(watch.Poll().removed);
    EXPECT_NE(ports.Connect({"Pads:out"}, {}), "");  // the server is gone
    const uint8_t on[] = {0x99, 36, 100};
    ports.SendAt(0, on);  // goes nowhere, harms nothing

    PrivateJack second(256, kRate);
    ASSERT_TRUE(second.running());
    ASSERT_TRUE(watch.Reopen());
    EXPECT_EQ(KorvantoPorts(), Both());
    TestKeyboard keyboard;
    ASSERT_EQ(ports.Connect({"Pads:out"}, {}), "");
    keyboard.Send({0x99, 38, 100});
    const auto events = heard.WaitFor(1);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].bytes[1], 38);
    ports.Close();
  }
  SetAudioOutputFactory(nullptr);
}

// A note written into midi_in at a frame sounds at out_L that frame plus the
// mixer's trigger latency (one block and a millisecond), as the program
// plays it: the ports, the inbox, the note map and the kit.
TEST(OneClientTiming, ANoteSoundsAtItsArrivalFramePlusTheTriggerLatency) {
  constexpr int kBlock = 1024;  // room for a busy machine to hand each note over
  PrivateJack jack(kBlock, kRate);
  ASSERT_TRUE(jack.running());
  KitRig rig(JackAudioOutputFactory());
  Mixer& mixer = rig.device.DSound()->mixer();
  MidiNoteMap map;
  map.Learn("Kick", 36);
  map.Rebuild(rig.instruments);
  MidiNotePlayer player(rig.instruments, map, rig.sound);
  NoteInbox inbox(nullptr);
  MidiPorts ports({&inbox});
  ASSERT_EQ(ports.Open(MidiSystem::Jack), "");
  JackNoteProbe probe(static_cast<size_t>(kRate) * 20);
  ASSERT_TRUE(probe.ok());
  std::this_thread::sleep_for(500ms);  // the output's clock settles
  const double latency = std::chrono::duration<double>(mixer.TriggerLatency()).count();
  EXPECT_NEAR(latency, (kBlock + kRate / 1000.0) / kRate, 1e-4) << "one block + 1 ms";
  const auto latencyFrames = std::llround(latency * kRate);

  const int64_t lateBefore = mixer.LateStarts();
  const int offsets[] = {0, 1, 100, 511, 700, 1023, 333, 47};
  std::vector<bool> skipped;  // the server missed a cycle while the note was on its way
  for (int offset : offsets) {
    const int64_t xruns = JackXruns();
    ASSERT_TRUE(probe.PlayAt(offset));
    const auto until = std::chrono::steady_clock::now() + 300ms;
    while (std::chrono::steady_clock::now() < until) {
      inbox.Drain([&](const NoteHeard& note) { ASSERT_TRUE(player.Play(note)); });
      rig.kit.Sweep();
      rig.ui.ProcessPending();
      std::this_thread::sleep_for(200us);
    }
    skipped.push_back(JackXruns() != xruns);
  }
  const auto arrivals = probe.Arrivals();
  ASSERT_EQ(arrivals.size(), std::size(offsets));
  int onTime = 0, excused = 0;
  for (size_t i = 0; i < arrivals.size(); ++i) {
    if (skipped[i]) {
      ++excused;
      continue;
    }
    const int64_t sounded = probe.FirstSoundFrom(arrivals[i], 0.05f);
    ASSERT_GE(sounded, 0) << "note " << i << " was not heard";
    if (std::abs(sounded - (arrivals[i] + latencyFrames)) <= 4) ++onTime;
  }
  // A note handed over after its frame was rendered starts late, and says so.
  EXPECT_GE(onTime + excused + (mixer.LateStarts() - lateBefore),
            static_cast<int64_t>(arrivals.size()));
  EXPECT_GE(onTime, static_cast<int>(arrivals.size() - excused) / 2);
}

}  // namespace
