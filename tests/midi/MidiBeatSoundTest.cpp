// Note-outs against the sound itself: on an output that follows the clock,
// each note-on is due when its kick starts in the recording.
#include <gtest/gtest.h>

#include "kit/CaptureOutput.h"
#include "midi/MidiBeatOut.h"
#include "midi/RecordingSender.h"
#include "song/PlaybackTestSupport.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
constexpr int kRate = 48000;

TEST(MidiBeatSound, EachNoteOnIsDueWhenItsHitIsHeard) {
  CaptureTape::Settings settings;
  settings.rate = kRate;
  settings.pacing = CaptureTape::Pacing::RealTime;
  auto tape = std::make_shared<CaptureTape>(settings);
  tape->Reserve(kRate * 4);
  KitRig rig(tape);
  FakeHost host;
  host.SetPattern({"Kick      [ ]", "", "Kick      [ ]", "", "Kick      [ ]", "", "", ""});
  host.delay = 25;  // 50 ms steps: the kit's 200-frame sounds end between hits
  PlaybackEngine engine{rig.ui, host, rig.sound};
  engine.SetUpTempo();
  HitNotes notes(rig.instruments);
  RecordingSender sender;
  MidiBeatOut out(notes, sender);
  engine.SetPlayObserver(&out);
  ASSERT_FALSE(rig.ui.PumpUntil([] { return false; }, 300ms));  // the output clock settles
  engine.BitBtn3Click();
  ASSERT_TRUE(rig.ui.PumpUntil([&] { return !engine.PatternPlaying(); }, 10s));
  rig.ui.PumpUntil([] { return false; }, 200ms);
  engine.SetPlayObserver(nullptr);

  const auto samples = tape->Samples();
  std::vector<int64_t> onsets;
  bool sounding = false;
  for (size_t frame = 0; frame < samples.size() / 2; ++frame) {
    const bool now = samples[2 * frame] != 0;
    if (now && !sounding) onsets.push_back(static_cast<int64_t>(frame));
    sounding = now;
  }
  const auto ons = sender.WithStatus(0x99);
  ASSERT_EQ(onsets.size(), 3u);
  ASSERT_EQ(ons.size(), 3u);
  const int64_t start = MidiNs(tape->StartTime());
  for (size_t k = 0; k < ons.size(); ++k) {
    const int64_t heard = start + onsets[k] * 1000000000 / kRate;
    EXPECT_NEAR(static_cast<double>(ons[k].dueNs - heard) * 1e-6, 0.0, 2.0)
        << "hit " << k << ": ms between the note's due time and the sound";
  }
}

}  // namespace
