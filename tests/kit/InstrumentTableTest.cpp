#include "common/Exception.h"
#include "kit/InstrumentTable.h"
#include "kit/WaveCollection.h"

#include <gtest/gtest.h>

namespace {
using Kind = InstrumentSound::Kind;

void MakeKit(TWaveCollection& kit, const std::vector<std::string>& names) {
  kit.Clear();
  for (const auto& name : names) kit.Add().SetName(name);
}
}  // namespace

TEST(InstrumentTable, StartsWithTheDefaultKitNamesThenTheSlots) {
  InstrumentTable table;
  ASSERT_EQ(table.Items().size(), 49u);
  EXPECT_EQ(table.Item(0), "");
  EXPECT_EQ(table.Item(2), "Short Kick[ ]");
  EXPECT_EQ(table.Item(16), "Tamb      [ ]");
  EXPECT_EQ(table.Item(17), "Sample1");
  EXPECT_EQ(table.Item(48), "Sample32");
  EXPECT_EQ(table.LastKitIndex(), 16);
}

TEST(InstrumentTable, RebuildFromAKitOfKEntries) {
  TWaveCollection kit;
  MakeKit(kit, {"", "Bd        [ ]", "Sd        [ ]", "Hh        [ ]"});
  InstrumentTable table;
  table.Rebuild(kit);
  EXPECT_EQ(table.Items().size(), 4u + 32u);
  EXPECT_EQ(table.Item(4), "Sample1");
  EXPECT_EQ(table.LastKitIndex(), 3);
  EXPECT_EQ(table.IndexOf("sd        [ ]"), 2);
  EXPECT_EQ(table.IndexOf("Nothing"), -1);
}

// No kit could be loaded: the slots follow the blank entry, and texts that
// match nothing stay silent instead of naming slot 1.
TEST(InstrumentTable, AnEmptyKitKeepsTheBlankEntryFirst) {
  TWaveCollection kit;
  InstrumentTable table;
  table.Rebuild(kit);
  EXPECT_EQ(table.Items().size(), 1u + 32u);
  EXPECT_EQ(table.LastKitIndex(), 0);
  EXPECT_EQ(table.Item(1), "Sample1");
  EXPECT_EQ(ResolveForPlayback(table, "").kind, InstrumentSound::Kind::Silent);
  EXPECT_EQ(ResolveForPlayback(table, "Kick      [ ]").kind, InstrumentSound::Kind::Silent);
  EXPECT_EQ(ResolveForPlayback(table, "Sample1").slot, 1);
}

TEST(TriggerByText, VolumeDigitAndCaseBlindLookUp) {
  InstrumentTable table;
  const auto kick3 = ResolveForPlayback(table, "Kick      [3]");
  EXPECT_EQ(kick3.kind, Kind::KitEntry);
  EXPECT_EQ(kick3.entryName, "Kick      [ ]");
  EXPECT_EQ(kick3.volume, -1500);
  EXPECT_EQ(ResolveForPlayback(table, "KICK      [ ]").entryName, "Kick      [ ]");
  EXPECT_EQ(ResolveForPlayback(table, "kick      [ ]").volume, -500);
  for (char d = '1'; d <= '9'; ++d)
    EXPECT_EQ(ResolveForPlayback(table, std::string("Snare     [") + d + "]").volume,
              -500 * (d - '0'));
}

TEST(TriggerByText, SlotsShortTextsAndUnknownTexts) {
  InstrumentTable table;
  const auto slot = ResolveForPlayback(table, "Sample2");
  EXPECT_EQ(slot.kind, Kind::Slot);
  EXPECT_EQ(slot.slot, 2);
  EXPECT_EQ(ResolveForPlayback(table, "sample32").slot, 32);
  EXPECT_EQ(ResolveForPlayback(table, "Mystery").kind, Kind::Silent);
  EXPECT_EQ(ResolveForPlayback(table, "").kind, Kind::Silent);

  TWaveCollection kit;
  MakeKit(kit, {"", "Bd", "Sd"});  // names of 10 characters or fewer carry no digit
  table.Rebuild(kit);
  EXPECT_EQ(ResolveForPlayback(table, "bd").entryName, "Bd");
}

TEST(TriggerByText, BadVolumeCharacterIsAConversionError) {
  InstrumentTable table;
  EXPECT_THROW(ResolveForPlayback(table, "Kick      [x]"), EConvertError);
  EXPECT_THROW(ResolveForPlayback(table, "Kick      ["), EConvertError);  // 11 characters
}

TEST(TriggerByText, ChooserTextThatMatchesNothingPlaysTheLastKitEntry) {
  InstrumentTable table;
  const auto last = ResolveForChooser(table, "Mystery");
  EXPECT_EQ(last.kind, Kind::KitEntry);
  EXPECT_EQ(last.entryName, "Tamb      [ ]");
  EXPECT_EQ(ResolveForChooser(table, "Sample5").slot, 5);
  EXPECT_EQ(ResolveForChooser(table, "").kind, Kind::Silent);
}

TEST(TriggerByText, CellClickSoundsKitInstrumentsOnly) {
  InstrumentTable table;
  EXPECT_EQ(ResolveForCellClick(table, "snare     [ ]").kind, Kind::KitEntry);
  EXPECT_EQ(ResolveForCellClick(table, "Sample1").kind, Kind::Silent);
  EXPECT_EQ(ResolveForCellClick(table, "typed").kind, Kind::Silent);
  EXPECT_EQ(ResolveForCellClick(table, "").kind, Kind::Silent);
}
