#pragma once
// The playback benchmarks' set-up: the pattern player with a kick on every
// step of a 16-step pattern at tempo 60 (120 ms steps), repeated, on whatever
// output the factory makes; and how onsets are found in what was recorded.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/ManualUiThread.h"
#include "kit/CaptureOutput.h"
#include "kit/DXWaveList.h"
#include "kit/InstrumentTable.h"
#include "kit/Wave.h"
#include "song/KitPlaybackSound.h"
#include "song/PlaybackEngine.h"
#include "song/Tempo.h"

namespace kickbench {

constexpr int kRate = 48000;
constexpr int kSteps = 16;
constexpr double kStepFrames = 0.120 * kRate;
inline const std::string kKick = "Kick      [ ]";

// The main window as the player sees it: a pattern of kicks, the bar at 60.
class BenchHost : public PlaybackHost {
 public:
  std::string Cell(int col, int row) const override {
    if (col == 2 && row == 0) return std::to_string(kSteps);
    return col == 1 && row >= 2 && row < 2 + kSteps ? kKick : std::string();
  }
  int DelayPosition() const override { return kStartTempoPosition; }
  void ShowBeatsPerMinute(double) override {}
  void EnablePlayButton(PlayButton, bool) override {}
  int PlayListCount() const override { return 0; }
  void SelectPlayListEntry(int) override {}
  void CompilePlayList(std::vector<std::string>&) override {}
};

// The play list as the song player compiles it.
class SongHost : public BenchHost {
 public:
  std::vector<std::string> song;
  int PlayListCount() const override { return 1; }
  void CompilePlayList(std::vector<std::string>& sequence) override {
    sequence.insert(sequence.end(), song.begin(), song.end());
  }
};

// Kicks in patterns of five tempos (3.2 s a round), a step left out now and
// then.
inline std::vector<std::string> KickSong(int rounds) {
  std::vector<std::string> song;
  for (int round = 0; round < rounds; ++round)
    for (int tempo : {60, 45, 70, 52, 41}) {
      song.insert(song.end(), {"//", std::to_string(tempo)});
      for (int row = 0; row < 6; ++row) {
        song.push_back(row % 3 == 2 ? "" : kKick);
        for (int cell = 1; cell < 6; ++cell) song.emplace_back();
      }
    }
  song.push_back("%%%");
  return song;
}

// A short decaying tone that starts at full swing, so its first frame is its onset.
inline Wave::TWave Kick() {
  std::vector<int16_t> samples;
  for (int k = 0; k < kRate / 50; ++k) {
    const double v = 16000.0 * std::exp(-k / 150.0) * std::cos(2 * M_PI * 90.0 * k / kRate);
    samples.push_back(static_cast<int16_t>(v));
    samples.push_back(static_cast<int16_t>(v));
  }
  Wave::TWave wave;
  wave.SetFormat(Wave::MakePcmFormat(kRate, 16, 2));
  wave.SetSize(static_cast<int32_t>(samples.size() * 2));
  std::memcpy(wave.Data(), samples.data(), samples.size() * 2);
  return wave;
}

// The player and everything it plays through, on the UI thread `ui`.
struct KickRig {
  ManualUiThread ui;
  SoundWindow window;
  TDXSound device{&window};
  TDXWaveList kit{ui};
  InstrumentTable instruments;
  BenchHost host;

  KickRig() {
    device.Initialize();
    kit.Items.Add();
    kit.Items.Add().SetName(kKick);
    kit.Items[1].SetWave(Kick());
    kit.SetDXSound(&device);
    instruments.Rebuild(kit.Items);
  }
  ~KickRig() {
    kit.SetDXSound(nullptr);
    device.Finalize();
  }

  KitPlaybackSound sound{instruments, kit, device};
  PlaybackEngine engine{ui, host, sound};

  // Repeat pattern on, then play.
  void Start() {
    engine.SetUpTempo();
    engine.ToolButton3Click();
    engine.BitBtn3Click();
  }
  void Stop() { engine.BitBtn4Click(); }
  const Mixer& mixer() const { return device.DSound()->mixer(); }
};

// First frames of sound after at least 50 ms of silence.
inline std::vector<size_t> Onsets(const std::vector<float>& samples) {
  std::vector<size_t> onsets;
  size_t quiet = 0;
  for (size_t frame = 0; frame < samples.size() / 2; ++frame) {
    if (std::abs(samples[2 * frame]) > 1e-3f) {
      if (quiet >= static_cast<size_t>(kRate / 20)) onsets.push_back(frame);
      quiet = 0;
    } else {
      ++quiet;
    }
  }
  return onsets;
}

inline double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5))];
}

// A capture output paced in real time, 256-frame blocks, room for the
// seconds asked and a little more; set as the program's output.
inline std::shared_ptr<CaptureTape> RealTimeTape(int seconds) {
  CaptureTape::Settings settings;
  settings.rate = kRate;
  settings.periodFrames = 256;
  settings.pacing = CaptureTape::Pacing::RealTime;
  auto tape = std::make_shared<CaptureTape>(settings);
  tape->Reserve(static_cast<size_t>(seconds + 3) * kRate);
  SetAudioOutputFactory(CaptureFactory(tape));
  return tape;
}

}  // namespace kickbench
