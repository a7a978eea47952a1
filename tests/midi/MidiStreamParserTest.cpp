#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "midi/MidiStreamParser.h"

namespace {
using Bytes = std::vector<uint8_t>;

// Every message the bytes give, each as its bytes.
std::vector<Bytes> Parse(MidiStreamParser& parser, const Bytes& bytes) {
  std::vector<Bytes> out;
  parser.Feed(bytes, 7, [&](const MidiEvent& e) {
    EXPECT_EQ(e.timeNs, 7);
    out.emplace_back(e.bytes.begin(), e.bytes.begin() + e.size);
  });
  return out;
}

struct StreamCase {
  std::string name;
  Bytes in;
  std::vector<Bytes> out;
};

class StreamCases : public ::testing::TestWithParam<StreamCase> {};

TEST_P(StreamCases, GiveWholeMessages) {
  MidiStreamParser parser;
  EXPECT_EQ(Parse(parser, GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Midi, StreamCases,
    ::testing::Values(
        StreamCase{"NoteOn", {0x99, 36, 100}, {{0x99, 36, 100}}},
        StreamCase{"RunningStatus",
                   {0x90, 36, 100, 38, 90, 42, 0},
                   {{0x90, 36, 100}, {0x90, 38, 90}, {0x90, 42, 0}}},
        StreamCase{"ProgramChangeRuns", {0xC0, 5, 6}, {{0xC0, 5}, {0xC0, 6}}},
        StreamCase{"GarbageDataDropped", {1, 2, 3, 0x99, 36, 1}, {{0x99, 36, 1}}},
        StreamCase{"SysexSkipped", {0xF0, 0x7E, 0x90, 36, 0xF7, 0x99, 40, 50}, {{0x99, 40, 50}}},
        StreamCase{"SysexEndsRunningStatus", {0x90, 36, 1, 0xF0, 1, 0xF7, 38, 2}, {{0x90, 36, 1}}},
        StreamCase{"RealTimeInsideMessage",
                   {0x90, 36, 0xF8, 100, 0xFA},
                   {{0xF8}, {0x90, 36, 100}, {0xFA}}},
        StreamCase{"RealTimeInsideSysex", {0xF0, 1, 0xF8, 2, 0xF7}, {{0xF8}}},
        StreamCase{"UndefinedBytesSkipped", {0xF9, 0xFD, 0xF4, 0x99, 36, 9}, {{0x99, 36, 9}}},
        StreamCase{"SongPositionEndsRunningStatus",
                   {0x90, 36, 1, 0xF2, 3, 4, 38, 2},
                   {{0x90, 36, 1}, {0xF2, 3, 4}}},
        StreamCase{"CutShortByNewStatus", {0x90, 36, 0x80, 36, 0}, {{0x80, 36, 0}}},
        StreamCase{"TuneRequest", {0xF6}, {{0xF6}}}),
    [](const auto& info) { return info.param.name; });

TEST(MidiStreamParser, MessageSplitAcrossDeliveriesIsJoined) {
  MidiStreamParser parser;
  EXPECT_TRUE(Parse(parser, {0x99, 36}).empty());
  EXPECT_EQ(Parse(parser, {100, 38, 50}), (std::vector<Bytes>{{0x99, 36, 100}, {0x99, 38, 50}}));
}

TEST(MidiStreamParser, ResetForgetsRunningStatus) {
  MidiStreamParser parser;
  Parse(parser, {0x90, 36, 1});
  parser.Reset();
  EXPECT_TRUE(Parse(parser, {38, 2}).empty());
}

TEST(MidiStreamParser, RandomBytesNeverGiveMoreThanThreeBytesOrNoStatus) {
  MidiStreamParser parser;
  uint32_t seed = 12345;
  Bytes noise;
  for (int i = 0; i < 100000; ++i) {
    seed = seed * 1664525u + 1013904223u;
    noise.push_back(static_cast<uint8_t>(seed >> 24));
  }
  parser.Feed(noise, 0, [](const MidiEvent& e) {
    ASSERT_GE(e.size, 1);
    ASSERT_LE(e.size, 3);
    ASSERT_GE(e.bytes[0], 0x80);
    ASSERT_EQ(MidiMessageLength(e.bytes[0]), e.size);
    for (int i = 1; i < e.size; ++i) ASSERT_LT(e.bytes[i], 0x80);
  });
}
}  // namespace
