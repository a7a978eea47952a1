// How a slot's file and the sample editor's values are named to the user:
// the texts beside the bars, the file title and the stems' names.
#include <gtest/gtest.h>

#include "common/Files.h"
#include "kit/InstrumentTable.h"
#include "kit/WaveCollection.h"
#include "render/SampleControlTexts.h"
#include "render/SlotShortName.h"
#include "render/Stems.h"

namespace {

TEST(SampleControlTexts, PitchIsHertzAndSemitonesFromTheFilesOwnRate) {
  struct Case {
    int64_t frequency, fileRate;
    const char* shown;
    const char* spoken;
  };
  const Case cases[] = {
      {44100, 44100, "44100 Hz 0.0 st", "Pitch: 44100 Hz, 0.0 semitones from the file's 44100 Hz"},
      {22050, 44100, "22050 Hz -12.0 st",
       "Pitch: 22050 Hz, -12.0 semitones from the file's 44100 Hz"},
      {44100, 22050, "44100 Hz +12.0 st",
       "Pitch: 44100 Hz, +12.0 semitones from the file's 22050 Hz"},
      // One semitone up from 44100 Hz, rounded to whole hertz.
      {46722, 44100, "46722 Hz +1.0 st",
       "Pitch: 46722 Hz, +1.0 semitones from the file's 44100 Hz"},
      {41625, 44100, "41625 Hz -1.0 st",
       "Pitch: 41625 Hz, -1.0 semitones from the file's 44100 Hz"},
      // Without a file there is no rate to count from.
      {4410, 0, "4410 Hz", "Pitch: 4410 Hz"},
  };
  for (const Case& c : cases) {
    const ControlValueText text = PitchText(c.frequency, c.fileRate);
    EXPECT_EQ(text.shown, c.shown) << c.frequency << " of " << c.fileRate;
    EXPECT_EQ(text.spoken, c.spoken) << c.frequency << " of " << c.fileRate;
  }
}

TEST(SampleControlTexts, VolumeIsDecibelsAndPanIsPercentOfEachSide) {
  EXPECT_EQ(VolumeText(0).shown, "0 dB");
  EXPECT_EQ(VolumeText(-12).shown, "-12 dB");
  EXPECT_EQ(VolumeText(-40).spoken, "Volume: -40 dB");
  struct Case {
    int bar;
    const char* shown;
    const char* spoken;
  };
  const Case cases[] = {{0, "Centre", "Pan: centre"},        {-40, "L 100 %", "Pan: 100 % left"},
                        {40, "R 100 %", "Pan: 100 % right"}, {20, "R 50 %", "Pan: 50 % right"},
                        {-1, "L 2.5 %", "Pan: 2.5 % left"},  {13, "R 32.5 %", "Pan: 32.5 % right"}};
  for (const Case& c : cases) {
    EXPECT_EQ(PanText(c.bar).shown, c.shown) << c.bar;
    EXPECT_EQ(PanText(c.bar).spoken, c.spoken) << c.bar;
  }
}

TEST(SlotFileTitle, IsTheFileNameWithoutExtensionAndNothingForTheBlank) {
  const std::pair<const char*, const char*> cases[] = {{"/samples/zap.wav", "zap"},
                                                       {"C:\\kits\\Big Snare.WAV", "Big Snare"},
                                                       {"loop.take2.flac", "loop.take2"},
                                                       {"noextension", "noextension"},
                                                       {"/home/me/Blank.wav", ""},
                                                       {"Blank.wav", ""},
                                                       {"", ""},
                                                       {".hidden", ".hidden"}};
  for (const auto& [path, title] : cases) EXPECT_EQ(SlotFileTitle(path), title) << path;
}

TEST(FileNameFromFileName, KeepsTheNamesBytesButNotWhatAFileNameCannotHold) {
  EXPECT_EQ(FileNameFromFileName("zap", 100), "zap");
  EXPECT_EQ(FileNameFromFileName("a/b\\c:d*e?f\"g<h>i|j", 100), "a_b_c_d_e_f_g_h_i_j");
  EXPECT_EQ(FileNameFromFileName(std::string("tab\there\x7f"), 100), "tab_here_");
  EXPECT_EQ(FileNameFromFileName("Caf\xc3\xa9", 100), "Caf\xc3\xa9");
  // Cut before a character it would split.
  EXPECT_EQ(FileNameFromFileName("Caf\xc3\xa9", 4), "Caf");
  EXPECT_EQ(FileNameFromFileName("Caf\xc3\xa9", 5), "Caf\xc3\xa9");
  EXPECT_EQ(FileNameFromFileName(std::string(300, 'x'), 100).size(), 100u);
}

TEST(StemFileNames, ASlotsStemNamesItsFileButAKitInstrumentsDoesNot) {
  TWaveCollection kit;
  kit.Add();
  kit.Add().SetName("Kick      [ ]");
  InstrumentTable chooser;
  chooser.Rebuild(kit);
  SlotSounds slots;
  slots[0].fileName = "/tmp/decoded-sample1.wav";
  slots[0].chosenFile = "/samples/zap.flac";
  slots[2].fileName = "/samples/what?.wav";  // chosen as read
  slots[6].fileName = std::string(300, 'y') + ".wav";
  // Slot 4 holds the blank sound.
  const int last = chooser.LastKitIndex();
  const auto names = StemFileNames(chooser, slots, {1, last + 1, last + 3, last + 4, last + 7});
  ASSERT_EQ(names.size(), 5u);
  EXPECT_EQ(names[0], "01 Kick.wav");
  EXPECT_EQ(names[1], "02 Sample1 (zap).wav");
  EXPECT_EQ(names[2], "03 Sample3 (what_).wav");
  EXPECT_EQ(names[3], "04 Sample4.wav");
  EXPECT_EQ(names[4], "05 Sample7 (" + std::string(100, 'y') + ").wav");
  for (const auto& name : names) EXPECT_TRUE(IsStemFileName(name)) << name;
}

}  // namespace
