#include <gtest/gtest.h>

#include <fstream>

#include "common/Exception.h"
#include "common/Files.h"
#include "kit/InstrumentTable.h"
#include "midi/MidiMapFile.h"
#include "midi/MidiNoteMap.h"
#include "render/MidiExport.h"
#include "support/TempDir.h"

namespace {
struct NoteCase {
  int note;
  std::string item;  // "" for none
};

class DefaultKitNotes : public ::testing::TestWithParam<NoteCase> {};

// The default kit's chooser, read backwards from the export's map.
TEST_P(DefaultKitNotes, SoundTheirInstrument) {
  const InstrumentTable chooser;
  MidiNoteMap map;
  map.Rebuild(chooser);
  const int index = map.IndexOf(GetParam().note);
  EXPECT_EQ(index < 0 ? std::string() : chooser.Item(index), GetParam().item);
}

INSTANTIATE_TEST_SUITE_P(
    Midi, DefaultKitNotes,
    ::testing::Values(NoteCase{36, "Kick      [ ]"}, NoteCase{35, "Short Kick[ ]"},
                      NoteCase{38, "Snare     [ ]"}, NoteCase{42, "ClsHiat   [ ]"},
                      NoteCase{46, "OpHiat    [ ]"}, NoteCase{37, "Rimshot   [ ]"},
                      NoteCase{56, "Cowbell   [ ]"}, NoteCase{96, "Sample1"},
                      NoteCase{127, "Sample32"}, NoteCase{60, ""}, NoteCase{-1, ""},
                      NoteCase{128, ""}, NoteCase{1000, ""}));

TEST(MidiNoteMap, LearnedNoteTakesTheInstrumentFromItsDefault) {
  const InstrumentTable chooser;
  MidiNoteMap map;
  map.Learn("Snare", 60);
  map.Learn("sample2", 36);  // case does not matter; the kick gives way
  map.Rebuild(chooser);
  EXPECT_EQ(chooser.Item(map.IndexOf(60)), "Snare     [ ]");
  EXPECT_EQ(map.IndexOf(38), -1);
  EXPECT_EQ(chooser.Item(map.IndexOf(36)), "Sample2");
}

TEST(MidiNoteMap, RelearningMovesTheInstrumentAndFreesTheNote) {
  MidiNoteMap map;
  map.Learn("Snare", 60);
  map.Learn("Kick", 60);
  map.Learn("Kick", 61);
  EXPECT_EQ(map.Learned(), (std::vector<LearnedNote>{{61, "Kick"}}));
}

TEST(MidiNoteMap, VelocityGivesTheNearestVolumeDigit) {
  for (int level = 1; level <= 9; ++level) EXPECT_EQ(LevelOfVelocity(KitVelocity(level)), level);
  EXPECT_EQ(LevelOfVelocity(127), 1);
  EXPECT_EQ(LevelOfVelocity(0), 9);
  EXPECT_EQ(LevelOfVelocity(1), 9);
  EXPECT_EQ(LevelOfVelocity(200), 1);
  EXPECT_EQ(LevelOfVelocity(112), 1);  // nearer 127 than 95 in decibels
  EXPECT_EQ(LevelOfVelocity(108), 2);
}

TEST(MidiMapFile, RoundTripsBesideTheKit) {
  TempDir dir;
  const auto path = MidiMapPathFor(dir / "power.dxg");
  EXPECT_EQ(path, dir / "power.midimap");
  const std::vector<LearnedNote> learned{{60, "Snare"}, {0, "Sample32"}, {127, "Short Kick"}};
  WriteMidiMap(path, learned);
  EXPECT_EQ(ReadFileBytes(path), "60 Snare\r\n0 Sample32\r\n127 Short Kick\r\n");
  EXPECT_EQ(ReadMidiMap(path), learned);
}

TEST(MidiMapFile, MissingFileIsNoLearnedNote) {
  TempDir dir;
  EXPECT_TRUE(ReadMidiMap(dir / "none.midimap").empty());
}

TEST(MidiMapFile, BadLinesAreSkipped) {
  TempDir dir;
  std::ofstream(dir / "k.midimap")
      << "128 Kick\nx Snare\n 1 Tom\n12\n1234 Kick\n-1 Kick\n\n40 Tom1\n";
  EXPECT_EQ(ReadMidiMap(dir / "k.midimap"), (std::vector<LearnedNote>{{40, "Tom1"}}));
}

TEST(MidiMapFile, HugeFileIsRefusedWithAMessage) {
  TempDir dir;
  std::ofstream(dir / "k.midimap") << std::string(1 << 20, 'x');
  EXPECT_THROW(ReadMidiMap(dir / "k.midimap"), Exception);
}
}  // namespace
