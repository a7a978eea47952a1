// The mixer's group mixes: each voice's samples also go to its group's
// buffer, at the same frames, fading voices included; out stays the sum.
#include <gtest/gtest.h>

#include <array>

#include "kit/Mixer.h"
#include "kit/SoundFormat.h"

namespace {

std::vector<int16_t> Constant(int frames, int16_t value) {
  return std::vector<int16_t>(2 * static_cast<size_t>(frames), value);
}

MixerCommand StartOf(uint16_t slot, const std::vector<int16_t>& samples, uint16_t meter,
                     int64_t frame) {
  MixerCommand c;
  c.op = MixerOp::Start;
  c.slot = slot;
  c.data = reinterpret_cast<const uint8_t*>(samples.data());
  c.frames = static_cast<uint32_t>(samples.size() / 2);
  c.layout = SampleLayout{SampleKind::S16, 2, 4, 48000, 192000};
  c.meter = meter;
  c.frame = frame;
  return c;
}

struct Groups {
  static constexpr int kFrames = 256;
  std::array<std::vector<float>, Mixer::kMeters> buffers;
  std::array<float*, Mixer::kMeters> pointers{};
  explicit Groups(std::initializer_list<int> taken) {
    for (int g : taken) {
      buffers[g].assign(2 * kFrames, 0.0f);
      pointers[g] = buffers[g].data();
    }
  }
  void Clear() {
    for (auto& b : buffers) std::fill(b.begin(), b.end(), 0.0f);
  }
};

TEST(MixerGroups, EachVoiceGoesToItsGroupAndOutIsTheSum) {
  Mixer::Settings settings;
  settings.periodFrames = Groups::kFrames;
  Mixer mixer(settings);
  const auto kick = Constant(600, 1000), snare = Constant(300, 3000), other = Constant(100, 500);
  mixer.Send(StartOf(0, kick, 1, 10));
  mixer.Send(StartOf(1, snare, 2, 100));
  mixer.Send(StartOf(2, other, 0, 200));
  Groups groups({0, 1, 2});
  std::vector<float> out(2 * Groups::kFrames);
  const auto now = Mixer::Clock::now();
  for (int block = 0; block < 3; ++block) {
    groups.Clear();
    mixer.Render(out.data(), Groups::kFrames, now + std::chrono::milliseconds(5 * block),
                 groups.pointers.data(), Mixer::kMeters);
    for (int i = 0; i < 2 * Groups::kFrames; ++i) {
      const float sum = groups.buffers[0][i] + groups.buffers[1][i] + groups.buffers[2][i];
      ASSERT_NEAR(out[i], sum, 1e-6) << "block " << block << " sample " << i;
    }
    if (block == 0) {
      EXPECT_EQ(groups.buffers[1][2 * 9], 0.0f);
      EXPECT_GT(groups.buffers[1][2 * 10], 0.0f);
      EXPECT_EQ(groups.buffers[2][2 * 99], 0.0f);
      EXPECT_GT(groups.buffers[2][2 * 100], 0.0f);
      EXPECT_GT(groups.buffers[0][2 * 200], 0.0f);
    }
  }
}

// A stolen voice fades out in its own group, not only in out.
TEST(MixerGroups, AFadingVoiceStaysInItsGroup) {
  Mixer::Settings settings;
  settings.periodFrames = Groups::kFrames;
  Mixer mixer(settings);
  const auto kick = Constant(4000, 2000);
  mixer.Send(StartOf(0, kick, 1, 0));
  Groups groups({1});
  std::vector<float> out(2 * Groups::kFrames);
  const auto now = Mixer::Clock::now();
  mixer.Render(out.data(), Groups::kFrames, now, groups.pointers.data(), Mixer::kMeters);
  MixerCommand steal;
  steal.op = MixerOp::Steal;
  steal.slot = 0;
  mixer.Send(steal);
  groups.Clear();
  mixer.Render(out.data(), Groups::kFrames, now + std::chrono::milliseconds(5),
               groups.pointers.data(), Mixer::kMeters);
  EXPECT_GT(out[0], 0.0f);
  for (int i = 0; i < 2 * Groups::kFrames; ++i) ASSERT_FLOAT_EQ(out[i], groups.buffers[1][i]) << i;
}

// Voices of a group nobody takes go to out alone.
TEST(MixerGroups, AGroupWithoutABufferIsOnlyInOut) {
  Mixer::Settings settings;
  settings.periodFrames = Groups::kFrames;
  Mixer mixer(settings);
  const auto kick = Constant(600, 1000);
  mixer.Send(StartOf(0, kick, 5, 0));
  Groups groups({1});
  std::vector<float> out(2 * Groups::kFrames);
  mixer.Render(out.data(), Groups::kFrames, Mixer::Clock::now(), groups.pointers.data(),
               Mixer::kMeters);
  EXPECT_GT(out[0], 0.0f);
  for (float s : groups.buffers[1]) ASSERT_EQ(s, 0.0f);
}

}  // namespace
