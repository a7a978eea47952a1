#include "common/Files.h"
#include "kit/KitPanning.h"
#include "kit/WaveCollection.h"

#include "support/TempDir.h"
#include <gtest/gtest.h>

namespace {
void MakeKit(TWaveCollection& kit, int instruments, const std::string& prefix) {
  kit.Clear();
  kit.Add();
  for (int i = 1; i <= instruments; ++i) {
    std::string name = prefix + std::to_string(i);
    name.resize(10, ' ');
    kit.Add().SetName(name + "[ ]");
  }
}

PanningTable TableOf(const std::vector<std::string>& lines) {
  static TempDir dir;
  WriteTextLines(dir / "Panning.dat", lines);
  PanningTable table;
  table.Read(dir / "Panning.dat");
  return table;
}
}  // namespace

TEST(KitPanning, AppliesLinesOneToSixteenAndWritesThemBackWithZeroFirst) {
  TWaveCollection kit;
  MakeKit(kit, 16, "Drum");
  InstrumentTable chooser;
  chooser.Rebuild(kit);
  std::vector<std::string> lines = {"777"};
  for (int i = 1; i <= 16; ++i) lines.push_back(std::to_string(i * 100));
  const PanningTable table = TableOf(lines);
  ApplyPanningTable(table, chooser, kit);
  EXPECT_EQ(kit[1].Pan, 100);
  EXPECT_EQ(kit[16].Pan, 1600);
  EXPECT_EQ(kit[0].Pan, 0);  // line 0 is never applied
  const auto written = ComposePanningTable(chooser, kit, true, table);
  ASSERT_EQ(written.size(), 17u);
  EXPECT_EQ(written[0], 0);
  EXPECT_EQ(written[16], 1600);
}

TEST(KitPanning, SmallKitLeavesMissingPositionsAloneAndWritesZeroForThem) {
  TWaveCollection kit;
  MakeKit(kit, 3, "Drum");
  InstrumentTable chooser;
  chooser.Rebuild(kit);
  const PanningTable table = TableOf(std::vector<std::string>(17, "250"));
  ApplyPanningTable(table, chooser, kit);  // "Sample1" at position 4 is not an entry: no error
  EXPECT_EQ(kit[3].Pan, 250);
  const auto written = ComposePanningTable(chooser, kit, true, table);
  EXPECT_EQ(written, (std::vector<int>{0, 250, 250, 250, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(KitPanning, KitThatNeverLoadedKeepsTheValuesRead) {
  TWaveCollection kit;
  InstrumentTable chooser;
  const PanningTable table = TableOf(std::vector<std::string>(17, "-300"));
  EXPECT_EQ(ComposePanningTable(chooser, kit, false, table), std::vector<int>(17, -300));
}

TEST(KitPanning, ImportKeepsPansByPositionUnderNewNames) {
  TWaveCollection kit;
  MakeKit(kit, 16, "Old");
  InstrumentTable chooser;
  chooser.Rebuild(kit);
  for (int i = 1; i <= 16; ++i) {
    kit[i].Pan = i * 10;
    kit[i].Volume = -i;
  }
  const auto settings = RememberByPosition(chooser, kit);
  MakeKit(kit, 20, "New");
  chooser.Rebuild(kit);
  RestoreByPosition(settings, chooser, kit);
  EXPECT_EQ(kit[1].Name(), "New1      [ ]");
  EXPECT_EQ(kit[1].Pan, 10);
  EXPECT_EQ(kit[16].Pan, 160);
  EXPECT_EQ(kit[16].Volume, -16);
  EXPECT_EQ(kit[17].Pan, 0);
}
