// The main window's start-up and close in a home folder.
#include <QListWidget>
#include <QComboBox>
#include <QLabel>

#include "common/Files.h"
#include "pattern/HomeFiles.h"
#include "pattern/Sequencer.h"
#include "pattern/StepGridView.h"
#include "support/WindowTest.h"
#include <gtest/gtest.h>

namespace {
std::vector<std::string> ListTexts(QListWidget* list) {
  std::vector<std::string> texts;
  for (int i = 0; i < list->count(); ++i) texts.push_back(list->item(i)->text().toStdString());
  return texts;
}
}  // namespace

TEST(SequencerStartUp, ListsPatternFilesAndResetsSampleWorkFiles) {
  WindowTestHome home;
  std::ofstream(home / "zeta.pat") << "x";
  std::ofstream(home / "alpha.pat") << "x";
  std::ofstream(home / "temp" / "sample7.wav") << "old";
  TSequence sequence;
  EXPECT_EQ(ListTexts(sequence.MusicLib), (std::vector<std::string>{"<Blank>", "alpha", "zeta"}));
  const std::string blank = ReadFileBytes(home / "Blank.wav");
  for (int slot = 1; slot <= 32; ++slot)
    EXPECT_EQ(ReadFileBytes(SampleWorkFile(home.path(), slot)), blank);
  EXPECT_EQ(sequence.HomeDir(), home.path());
  EXPECT_EQ(sequence.Label6->text(), "125.0");
  EXPECT_EQ(sequence.Grid().Cell(0, 17), "16:3");
  EXPECT_TRUE(home.prompts.messages.empty());
}

TEST(SequencerStartUp, CloseWritesSeventeenPanningLines) {
  WindowTestHome home;
  std::vector<std::string> lines = {"0"};
  for (int i = 1; i <= 16; ++i) lines.push_back(std::to_string(i * 100));
  home.WritePanning(lines);
  {
    TSequence sequence;
    sequence.close();
  }
  EXPECT_EQ(ReadTextLines(home / "Panning.dat"), lines);
}

// A failing step is reported and the steps after it still run.
TEST(SequencerStartUp, MissingPanningTableIsReportedAndStartUpGoesOn) {
  WindowTestHome home;
  std::filesystem::remove(home / "Panning.dat");
  std::ofstream(home / "temp" / "sample1.wav") << "old";
  TSequence sequence;
  ASSERT_EQ(home.prompts.messages.size(), 1u);
  EXPECT_EQ(home.prompts.messages[0].text, "Cannot open file " + (home / "Panning.dat").string());
  EXPECT_EQ(ReadFileBytes(SampleWorkFile(home.path(), 1)), ReadFileBytes(home / "Blank.wav"));
}

TEST(SequencerStartUp, BadPanningLineIsReportedAndTheOthersKept) {
  WindowTestHome home;
  std::vector<std::string> lines(17, "50");
  lines[3] = "left";
  home.WritePanning(lines);
  {
    TSequence sequence;
    ASSERT_EQ(home.prompts.messages.size(), 1u);
    EXPECT_EQ(home.prompts.messages[0].text, "Panning.dat, line 4: 'left' is not a valid integer value");
    sequence.close();
  }
  lines[0] = "0";  // entry 0 has no name
  lines[3] = "0";
  EXPECT_EQ(ReadTextLines(home / "Panning.dat"), lines);
}

// Started in a folder without the kit: the chooser offers what the kit holds.
TEST(SequencerStartUp, WithoutAKitTheChooserListsOnlyTheSlots) {
  WindowTestHome home;
  std::filesystem::remove(home / "power.dxg");
  TSequence sequence;
  ASSERT_EQ(home.prompts.messages.size(), 1u);
  EXPECT_EQ(home.prompts.messages[0].text, "Cannot open file power.dxg");
  std::vector<std::string> expected{""};
  for (int slot = 1; slot <= 32; ++slot) expected.push_back("Sample" + std::to_string(slot));
  EXPECT_EQ(sequence.ChooserEntries(), expected);
  ASSERT_EQ(sequence.ComboBox1->count(), 33);
  EXPECT_EQ(sequence.ComboBox1->itemText(1), "Sample1");
  Click(sequence.StringGrid1, sequence.StringGrid1->CellRect(1, 2).center());
  EXPECT_EQ(home.prompts.messages.size(), 1u);
}

// An empty panning table is one message, not one per line.
TEST(SequencerStartUp, AnEmptyPanningTableIsOneMessage) {
  WindowTestHome home;
  home.WritePanning({});
  TSequence sequence;
  ASSERT_EQ(home.prompts.messages.size(), 1u);
  EXPECT_EQ(home.prompts.messages[0].text,
            "Panning.dat has 0 of its 17 lines; the instruments without a good line keep a pan of 0.");
}
