// Notes from a keyboard on JACK sound the kit through a captured output
// paced in real time: each at the frame of the moment it arrived, so the
// gaps between notes are kept, not rounded to the output's blocks.
#include <gtest/gtest.h>

#include "kit/Mixer.h"
#include "midi/MidiNotePlayer.h"
#include "midi/MidiPorts.h"
#include "midi/MidiTestSupport.h"
#include "song/PlaybackTestSupport.h"
#include "support/PrivateJack.h"

namespace {
// Long blocks (100 ms) give the output a latency that a loaded machine's
// hand-over stays well within; a hit still lands at its own frame in them.
constexpr int kBlock = 4800;
constexpr int kTolerance = kRate / 500;  // 2 ms: far below a block

std::shared_ptr<CaptureTape> PacedTape() {
  CaptureTape::Settings settings;
  settings.rate = kRate;
  settings.periodFrames = kBlock;
  settings.pacing = CaptureTape::Pacing::RealTime;
  auto tape = std::make_shared<CaptureTape>(settings);
  tape->Reserve(kRate * 6);
  return tape;
}

// The first frame of each sound: where the left channel turns from silence.
std::vector<std::pair<int64_t, double>> Onsets(const std::vector<float>& samples) {
  std::vector<std::pair<int64_t, double>> onsets;
  bool sounding = false;
  for (size_t i = 0; i < samples.size(); i += 2) {
    const double level = In16(samples[i]);
    if (!sounding && level > 100) onsets.emplace_back(static_cast<int64_t>(i / 2), level);
    sounding = level > 100;
  }
  return onsets;
}

TEST(NotesToSound, EachNoteSoundsAtTheFrameOfItsArrival) {
  PrivateJack jack;
  if (!jack.running()) GTEST_SKIP() << "jackd could not start a private server here";
  KitRig rig(PacedTape());
  Mixer& mixer = rig.device.DSound()->mixer();
  MidiNoteMap map;
  map.Learn("Snare", 38);
  map.Learn("Kick", 36);
  map.Rebuild(rig.instruments);
  MidiNotePlayer player(rig.instruments, map, rig.sound);
  NoteInbox inbox(nullptr);
  MidiPorts ports({&inbox});
  ASSERT_EQ(ports.Open(MidiSystem::Jack), "");
  TestKeyboard keyboard;
  ASSERT_EQ(ports.Connect({"Pads:out"}, {}), "");
  // The output's clock settles before the notes come.
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));
  ASSERT_TRUE(mixer.FrameForCall(std::chrono::steady_clock::now()));

  // Gaps that are no whole number of blocks.
  const std::vector<std::pair<unsigned char, int>> notes = {{36, 0},   {38, 37},  {36, 81},
                                                            {38, 113}, {36, 167}, {38, 203}};
  std::vector<int64_t> expected;
  std::vector<NoteHeard> played;
  std::vector<bool> inTime;  // handed to the mixer before its frame was rendered
  const auto start = std::chrono::steady_clock::now();
  size_t sent = 0;
  while (played.size() < notes.size() &&
         std::chrono::steady_clock::now() - start < std::chrono::seconds(3)) {
    const auto now = std::chrono::steady_clock::now();
    if (sent < notes.size() && now - start >= std::chrono::milliseconds(notes[sent].second)) {
      keyboard.Send({0x99, notes[sent].first, 127});
      ++sent;
    }
    inbox.Drain([&](const NoteHeard& note) {
      ASSERT_TRUE(player.Play(note));
      const auto arrived =
          std::chrono::steady_clock::time_point(std::chrono::nanoseconds(note.timeNs));
      expected.push_back(*mixer.FrameForCall(arrived));
      played.push_back(note);
      // A loaded machine may hand a note over later than the output's latency.
      inTime.push_back(std::chrono::steady_clock::now() <
                       arrived + mixer.TriggerLatency() - std::chrono::milliseconds(10));
    });
    rig.ui.ProcessPending();
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  ASSERT_EQ(played.size(), notes.size());
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  const auto onsets = Onsets(rig.tape->Samples());
  ASSERT_EQ(onsets.size(), notes.size());
  int checked = 0;
  for (size_t i = 0; i < notes.size(); ++i) {
    // Velocity 127: volume digit 1, 5 dB below the sound's level.
    const double level =
        Heard(notes[i].first == 36 ? KitRig::kKickLevel : KitRig::kSnareLevel, -500);
    EXPECT_NEAR(onsets[i].second, level, level * 0.01) << "note " << i;
    if (!inTime[i]) continue;
    ++checked;
    // At the arrival's frame, not at a block's start.
    EXPECT_NEAR(onsets[i].first, expected[i], kTolerance) << "note " << i;
    if (i == 0 || !inTime[i - 1]) continue;
    const double arrivalGap = (played[i].timeNs - played[i - 1].timeNs) * 1e-9 * kRate;
    EXPECT_NEAR(onsets[i].first - onsets[i - 1].first, arrivalGap, kTolerance) << "note " << i;
  }
  EXPECT_GE(checked, 4) << "most notes are handed over in time";
}

TEST(NotesToSound, VelocityGivesTheVolumeDigit) {
  KitRig rig;
  MidiNoteMap map;
  map.Learn("Snare", 38);
  map.Rebuild(rig.instruments);
  MidiNotePlayer player(rig.instruments, map, rig.sound);
  const struct {
    uint8_t velocity;
    int level;
  } cases[] = {{127, 1}, {95, 2}, {40, 5}, {13, 9}};
  for (const auto& c : cases) {
    const NoteHeard note{MidiNowNs(), 10, 38, c.velocity};
    EXPECT_EQ(player.CellTextOf(note), "Snare     [" + std::to_string(c.level) + "]");
    ASSERT_TRUE(player.Play(note));
    EXPECT_NEAR(rig.Listen(), Heard(KitRig::kSnareLevel, -500 * c.level), 30) << int(c.velocity);
  }
  EXPECT_FALSE(player.Play(NoteHeard{MidiNowNs(), 10, 60, 100}));  // no instrument
}
}  // namespace
