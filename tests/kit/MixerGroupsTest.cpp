// The mixer's group mixes: each voice's samples also go to its group's
// buffer, at the same frames, fading voices included; out stays the sum.
#include <gtest/gtest.h>

#include <array>
#include <cctype>

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
  AudioBlock Block(Mixer::Clock::time_point time) const {
    AudioBlock block;
    block.time = time;
    block.groups = pointers.data();
    block.groupCount = Mixer::kMeters;
    return block;
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
    mixer.Render(out.data(), Groups::kFrames,
                 groups.Block(now + std::chrono::milliseconds(5 * block)));
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
  mixer.Render(out.data(), Groups::kFrames, groups.Block(now));
  MixerCommand steal;
  steal.op = MixerOp::Steal;
  steal.slot = 0;
  mixer.Send(steal);
  groups.Clear();
  mixer.Render(out.data(), Groups::kFrames, groups.Block(now + std::chrono::milliseconds(5)));
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
  mixer.Render(out.data(), Groups::kFrames, groups.Block(Mixer::Clock::now()));
  EXPECT_GT(out[0], 0.0f);
  for (float s : groups.buffers[1]) ASSERT_EQ(s, 0.0f);
}

// Steps placed on a transport: each waits for its frame while the transport
// waits, sounds where the transport reaches it, and is dropped when the
// transport passed, moved or stopped.
struct TransportCase {
  const char* name;
  std::vector<std::pair<bool, int64_t>> blocks;  // rolling, transport frame at the block's start
  int64_t transportFrame;
  int64_t onset;  // output frame; -1: never sounds
};

class MixerOnTransport : public ::testing::TestWithParam<TransportCase> {};

TEST_P(MixerOnTransport, AStepSoundsWhereTheTransportReachesItsFrame) {
  const TransportCase c = GetParam();
  constexpr int kBlock = 128;
  Mixer::Settings settings;
  settings.periodFrames = kBlock;
  Mixer mixer(settings);
  const auto kick = Constant(2000, 1000);
  MixerCommand start = StartOf(0, kick, 0, -1);
  start.transportFrame = c.transportFrame;
  mixer.Send(start);
  std::vector<float> out(2 * kBlock);
  int64_t onset = -1;
  const auto now = Mixer::Clock::now();
  for (size_t b = 0; b < c.blocks.size() && onset < 0; ++b) {
    AudioBlock block;
    block.time = now + std::chrono::microseconds(2667 * static_cast<int64_t>(b));
    block.hasTransport = true;
    block.rolling = c.blocks[b].first;
    block.transportPosition = c.blocks[b].second;
    mixer.Render(out.data(), kBlock, block);
    for (int i = 0; i < kBlock && onset < 0; ++i)
      if (out[2 * i] != 0.0f) onset = static_cast<int64_t>(b) * kBlock + i;
  }
  EXPECT_EQ(onset, c.onset) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MixerOnTransport,
    ::testing::Values(
        TransportCase{"waits, then rolls",
                      {{false, 1000}, {false, 1000}, {true, 1000}, {true, 1128}},
                      1100,
                      2 * 128 + 100},
        TransportCase{
            "on the block's first frame", {{true, 0}, {true, 128}, {true, 256}}, 128, 128},
        TransportCase{"a little late starts at once", {{true, 500}, {true, 628}}, 450, 0},
        TransportCase{"passed by more than a block", {{true, 5000}, {true, 5128}}, 4000, -1},
        TransportCase{"a stop after rolling drops it",
                      {{true, 0}, {false, 128}, {true, 128}, {true, 256}, {true, 384}},
                      300,
                      -1},
        TransportCase{"a relocation after rolling drops it",
                      {{true, 0}, {true, 9000}, {true, 9128}, {true, 300}, {true, 428}},
                      420,
                      -1}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

// An output without a transport places the step by its own frame.
TEST(MixerOnTransport, WithoutATransportTheOutputFrameHolds) {
  Mixer::Settings settings;
  settings.periodFrames = 128;
  Mixer mixer(settings);
  const auto kick = Constant(2000, 1000);
  MixerCommand start = StartOf(0, kick, 0, 200);
  start.transportFrame = 5;
  mixer.Send(start);
  std::vector<float> out(2 * 256);
  mixer.Render(out.data(), 256, Mixer::Clock::now());
  EXPECT_EQ(out[2 * 199], 0.0f);
  EXPECT_NE(out[2 * 200], 0.0f);
}

}  // namespace
