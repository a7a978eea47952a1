#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <fstream>

#include "common/Files.h"
#include "kit/AudioStream.h"
#include "kit/MakeKit.h"
#include "kit/SoundImport.h"
#include "kit/WaveCollection.h"
#include "pattern/Sequencer.h"
#include "support/SoundFiles.h"
#include "support/TestAudio.h"
#include "support/WindowTest.h"

namespace {

namespace fs = std::filesystem;

const char* const kQuestion = "Do you wish to template the current drum kit?";

class KitMakerWindowTest : public ::testing::Test {
 protected:
  WindowTestHome home;
  TWaveCollection mainKit;
  TMakit makit;

  void SetUp() override { mainKit.LoadFromFile(home / "power.dxg"); }

  void Open(PromptAnswer answer) {
    home.prompts.answers.push_back(answer);
    makit.KitMakeClick(mainKit, home.path(), home.prompts);
  }
  std::vector<std::string> Shown() const { return home.prompts.Texts(); }
  std::string Blank() const { return ReadFileBytes(home / "Blank.wav"); }
  std::string RowText(int row) const {
    return makit.NameEdits().at(row)->text().toLatin1().toStdString();
  }
  void TypeName(int row, const QString& text) {
    QLineEdit* edit = makit.NameEdits().at(row);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
  }
  std::string WriteConstantWav(const std::string& name, int16_t left, int16_t right) {
    Wave::TWave wave;
    wave.SetFormat(Wave::MakePcmFormat(44100, 16, 2));
    const int frames = 22050;
    wave.SetSize(frames * 4);
    for (int f = 0; f < frames; ++f) {
      for (int c = 0; c < 2; ++c) {
        const int16_t v = c == 0 ? left : right;
        wave.Data()[4 * f + 2 * c] = static_cast<uint8_t>(v & 0xFF);
        wave.Data()[4 * f + 2 * c + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
      }
    }
    wave.SaveToFile(home / name);
    return (home / name).string();
  }
};

TEST_F(KitMakerWindowTest, TheDefaultKitShowsSixteenNamedRowsAndNoGivesEveryRowTheBlank) {
  EXPECT_TRUE(makit.isHidden());
  EXPECT_EQ(makit.windowTitle(), "Kit maker");
  EXPECT_EQ(makit.ToolButton1->toolTip(), "Listern");
  EXPECT_EQ(makit.ToolButton5->toolTip(), "Add new sample");
  EXPECT_EQ(makit.ToolButton7->toolTip(), "Save kit");

  Open(PromptAnswer::No);
  EXPECT_TRUE(makit.isVisible());
  ASSERT_EQ(home.prompts.messages.size(), 1u);
  EXPECT_EQ(home.prompts.messages[0].text, kQuestion);
  EXPECT_EQ(home.prompts.messages[0].caption, "Question");
  EXPECT_EQ(home.prompts.messages[0].buttons, PromptButtons::YesNo);

  const std::vector<std::string> names = {
      "Kick",    "Short Kick", "Snare",  "ClsHiat", "OpHiat", "Tom1",    "Tom2",  "Cymbol1",
      "Cymbol2", "Rimshot",    "Shaker", "Block",   "Congo",  "Cowbell", "Crack", "Tamb"};
  ASSERT_EQ(makit.NameEdits().size(), 16u);
  ASSERT_EQ(makit.RadioButtons().size(), 16u);
  ASSERT_EQ(makit.FileButtons().size(), 16u);
  for (int r = 0; r < 16; ++r) {
    EXPECT_EQ(RowText(r), names[r]);
    EXPECT_EQ(makit.NameEdits()[r]->geometry().topLeft(), QPoint(40, 8 + 24 * r));
    EXPECT_EQ(makit.FileButtons()[r]->text(), "...");
    EXPECT_EQ(makit.RadioButtons()[r]->isChecked(), r == 0);
  }
  for (int i = 0; i < 17; ++i) EXPECT_EQ(makit.Maker().Kit()[i].Wave().Image(), Blank()) << i;

  // A second command rebuilds the rows; Yes now copies each current sound.
  Open(PromptAnswer::Yes);
  EXPECT_EQ(makit.NameEdits().size(), 16u);
  for (int i = 1; i < 17; ++i)
    EXPECT_EQ(makit.Maker().Kit()[i].Wave().Image(), mainKit[i].Wave().Image()) << i;
}

TEST_F(KitMakerWindowTest, SavingUnchangedKeepsTheNamesATypedNameIsPaddedAndTheWindowCloses) {
  Open(PromptAnswer::No);
  TypeName(2, "Bop");
  TypeName(3, "Much too long");
  EXPECT_EQ(RowText(3), "Much too l");
  home.prompts.answers.push_back(PromptAnswer::Yes);  // keep the rows without a sound
  home.prompts.paths.push_back((home / "mine.dxg").string());
  QTest::mouseClick(makit.ToolButton7, Qt::LeftButton);

  ASSERT_EQ(home.prompts.fileRequests.size(), 1u);
  EXPECT_EQ(home.prompts.fileRequests[0].filter, "*.dxg|*.dxg");
  EXPECT_EQ(home.prompts.fileRequests[0].defaultSuffix, "dxg");
  EXPECT_EQ(home.prompts.fileRequests[0].startDir, home.path().string());
  ASSERT_EQ(Shown().size(), 3u);
  EXPECT_EQ(home.prompts.messages[1].buttons, PromptButtons::YesNoCancel);
  EXPECT_EQ(Shown()[2].rfind("*NB - Due to any name changes within the new kit, ", 0), 0u);
  EXPECT_NE(Shown()[2].find("please import your new kit to use it"), std::string::npos);
  EXPECT_FALSE(makit.isVisible());

  TWaveCollection loaded;
  loaded.LoadFromFile(home / "mine.dxg");
  ASSERT_EQ(loaded.Count(), 17);
  for (int i = 0; i < 17; ++i) {
    if (i == 3 || i == 4) continue;
    EXPECT_EQ(loaded[i].Name(), mainKit[i].Name()) << i;
  }
  EXPECT_EQ(loaded[3].Name(), "Bop       [ ]");
  EXPECT_EQ(loaded[4].Name(), "Much too l[ ]");

  // Cancelling the dialog saves nothing and leaves the window open.
  Open(PromptAnswer::No);
  const auto before = ReadFileBytes(home / "mine.dxg");
  QTest::mouseClick(makit.ToolButton7, Qt::LeftButton);
  EXPECT_TRUE(makit.isVisible());
  EXPECT_EQ(ReadFileBytes(home / "mine.dxg"), before);
}

TEST_F(KitMakerWindowTest, AFileThatIsNoWaveIsReportedAndTheRowKeepsItsSound) {
  Open(PromptAnswer::Yes);
  std::ofstream(home / "readme.wav") << "no RIFF here";
  home.prompts.paths.push_back((home / "readme.wav").string());
  QTest::mouseClick(makit.FileButtons()[3], Qt::LeftButton);
  EXPECT_EQ(home.prompts.fileRequests.back().filter, kSoundFileFilter);
  EXPECT_EQ(Shown().back(), "Wave is invalid");
  EXPECT_TRUE(makit.isVisible());
  EXPECT_TRUE(makit.RadioButtons()[3]->isChecked());
  EXPECT_FALSE(makit.RadioButtons()[0]->isChecked());
  EXPECT_EQ(makit.Maker().Kit()[4].Wave().Image(), mainKit[4].Wave().Image());

  // A WAV file replaces the row's sound.
  const auto path = WriteConstantWav("hit.wav", 9000, 9000);
  home.prompts.paths.push_back(path);
  QTest::mouseClick(makit.FileButtons()[5], Qt::LeftButton);
  EXPECT_EQ(makit.Maker().Kit()[6].Wave().Image(), ReadFileBytes(path));
  EXPECT_TRUE(makit.RadioButtons()[5]->isChecked());
}

TEST_F(KitMakerWindowTest, ADeepWavPickedWithTheDotsBecomesASixteenBitSound) {
  const SndFileDecoding decoding;
  Open(PromptAnswer::No);
  sound_files::WriteSound(home / "deep.wav", sound_files::kWav24, 48000, 2,
                          std::vector<int32_t>(960, 0x12345600));
  home.prompts.paths.push_back((home / "deep.wav").string());
  const size_t shown = Shown().size();
  QTest::mouseClick(makit.FileButtons()[2], Qt::LeftButton);
  EXPECT_EQ(Shown().size(), shown);
  const Wave::TWave& picked = makit.Maker().Kit()[3].Wave();
  EXPECT_EQ(picked.FormatBytes(), Wave::MakePcmFormat(48000, 16, 2));
  EXPECT_EQ(picked.Size(), 480 * 4);
}

TEST_F(KitMakerWindowTest, AnAddedRowShowsTheShortSampleNameAndARowWithoutFileCannotBeHeard) {
  Open(PromptAnswer::No);
  QTest::mouseClick(makit.ToolButton5, Qt::LeftButton);
  ASSERT_EQ(makit.NameEdits().size(), 17u);
  EXPECT_EQ(RowText(16), "Samp");
  EXPECT_EQ(makit.NameEdits()[16]->geometry().topLeft(), QPoint(40, 8 + 24 * 16));
  EXPECT_TRUE(makit.RadioButtons()[16]->isChecked());
  EXPECT_FALSE(makit.RadioButtons()[0]->isChecked());
  QTest::mouseClick(makit.ToolButton1, Qt::LeftButton);  // its file is Blank.wav
  EXPECT_EQ(Shown().size(), 1u);

  QTest::mouseClick(makit.ToolButton5, Qt::LeftButton);
  QTest::mouseClick(makit.ToolButton1, Qt::LeftButton);
  EXPECT_EQ(Shown().back(), "WaveStream not set");
  EXPECT_TRUE(makit.isVisible());
}

TEST_F(KitMakerWindowTest, ListernPlaysTheSelectedRowThroughTheKitMakersOwnDevice) {
  Open(PromptAnswer::No);
  auto tape = TestAudio::LastTape();  // opened by the preparation
  ASSERT_TRUE(tape);
  home.prompts.paths.push_back(WriteConstantWav("loud.wav", 16000, -8000));
  QTest::mouseClick(makit.FileButtons()[1], Qt::LeftButton);
  QTest::mouseClick(makit.RadioButtons()[1], Qt::LeftButton);
  QTest::mouseClick(makit.ToolButton1, Qt::LeftButton);
  ASSERT_EQ(Shown().size(), 1u) << Shown().back();
  tape->Clear();
  ASSERT_TRUE(tape->RenderFrames(4800));
  const auto heard = tape->Samples();
  EXPECT_NEAR(heard[2 * 2400], 16000 / 32768.0f, 0.02f);
  EXPECT_NEAR(heard[2 * 2400 + 1], -8000 / 32768.0f, 0.02f);
  makit.Maker().ListeningStream()->Stop();
}

TEST_F(KitMakerWindowTest, EachRowShowsTheFileItHoldsAndItsLength) {
  Open(PromptAnswer::No);
  ASSERT_EQ(makit.FileLabels().size(), 16u);
  for (QLabel* label : makit.FileLabels()) EXPECT_EQ(label->text(), "(no sound)");
  home.prompts.paths.push_back(WriteConstantWav("hit.wav", 9000, 9000));  // 0.5 s
  QTest::mouseClick(makit.FileButtons()[4], Qt::LeftButton);
  EXPECT_EQ(makit.FileLabels()[4]->text(), "hit.wav, 0.50 s");
  EXPECT_EQ(makit.FileLabels()[4]->geometry().top(), 8 + 24 * 4);
  EXPECT_EQ(makit.FileLabels()[3]->text(), "(no sound)");

  // A templated row holds the current kit's sound, as long as it is there.
  Open(PromptAnswer::Yes);
  for (int r = 0; r < 16; ++r) {
    const Wave::TWave& wave = mainKit[r + 1].Wave();
    const double seconds =
        static_cast<double>(wave.Size() / wave.BlockAlign()) / wave.SamplesPerSec();
    EXPECT_EQ(makit.FileLabels()[r]->text(),
              "current kit, " + QString::number(seconds, 'f', 2) + " s")
        << r;
  }
  // An added row has no sound yet.
  QTest::mouseClick(makit.ToolButton5, Qt::LeftButton);
  EXPECT_EQ(makit.FileLabels().back()->text(), "(no sound)");
}

TEST_F(KitMakerWindowTest, ARemovedRowIsGoneAndRowsWithoutSoundStayOutUnlessKept) {
  Open(PromptAnswer::No);
  const std::string hit = WriteConstantWav("hit.wav", 9000, 9000);
  const std::string other = WriteConstantWav("other.wav", -4000, 4000);
  home.prompts.paths.push_back(hit);
  QTest::mouseClick(makit.FileButtons()[2], Qt::LeftButton);  // Snare
  home.prompts.paths.push_back(other);
  QTest::mouseClick(makit.FileButtons()[5], Qt::LeftButton);   // Tom1
  QTest::mouseClick(makit.RadioButtons()[3], Qt::LeftButton);  // ClsHiat
  QTest::mouseClick(makit.RemoveButton, Qt::LeftButton);

  ASSERT_EQ(makit.NameEdits().size(), 15u);
  ASSERT_EQ(makit.FileLabels().size(), 15u);
  EXPECT_EQ(RowText(3), "OpHiat");
  EXPECT_EQ(RowText(4), "Tom1");
  EXPECT_EQ(makit.NameEdits()[4]->geometry().top(), 8 + 24 * 4);
  EXPECT_EQ(makit.FileLabels()[4]->text(), "other.wav, 0.50 s");
  EXPECT_TRUE(makit.RadioButtons()[3]->isChecked());
  EXPECT_EQ(makit.Maker().Kit().Count(), 16);
  EXPECT_EQ(makit.Maker().Kit()[5].Wave().Image(), ReadFileBytes(other));

  // Cancelling the question saves nothing and asks for no file.
  const size_t requests = home.prompts.fileRequests.size();
  home.prompts.answers.push_back(PromptAnswer::Cancel);
  QTest::mouseClick(makit.ToolButton7, Qt::LeftButton);
  EXPECT_EQ(home.prompts.fileRequests.size(), requests);
  EXPECT_TRUE(makit.isVisible());
  EXPECT_EQ(Shown().back(),
            "No sound was picked for Kick, Short Kick, OpHiat, Tom2, Cymbol1, Cymbol2 and 7 more. "
            "Keep them in the kit as silent instruments?");

  // No: only the rows with a sound are saved.
  home.prompts.answers.push_back(PromptAnswer::No);
  home.prompts.paths.push_back((home / "two.dxg").string());
  QTest::mouseClick(makit.ToolButton7, Qt::LeftButton);
  TWaveCollection two;
  two.LoadFromFile(home / "two.dxg");
  ASSERT_EQ(two.Count(), 3);
  EXPECT_EQ(two[0].Name(), mainKit[0].Name());
  EXPECT_EQ(two[1].Name(), "Snare     [ ]");
  EXPECT_EQ(two[1].Wave().Image(), ReadFileBytes(hit));
  EXPECT_EQ(two[2].Name(), "Tom1      [ ]");
  EXPECT_EQ(two[2].Wave().Image(), ReadFileBytes(other));

  // Yes keeps them, silent, but never the removed row.
  makit.show();
  home.prompts.answers.push_back(PromptAnswer::Yes);
  home.prompts.paths.push_back((home / "all.dxg").string());
  QTest::mouseClick(makit.ToolButton7, Qt::LeftButton);
  TWaveCollection all;
  all.LoadFromFile(home / "all.dxg");
  ASSERT_EQ(all.Count(), 16);
  EXPECT_EQ(all[4].Name(), "OpHiat    [ ]");
  EXPECT_EQ(all[4].Wave().Image(), Blank());
  EXPECT_EQ(all.IndexOfName("ClsHiat   [ ]"), -1);
}

TEST_F(KitMakerWindowTest, AKitWithoutRowsCannotBeSavedOrHeard) {
  Open(PromptAnswer::Yes);
  for (int r = 0; r < 16; ++r) QTest::mouseClick(makit.RemoveButton, Qt::LeftButton);
  EXPECT_TRUE(makit.NameEdits().empty());
  EXPECT_FALSE(makit.RemoveButton->isEnabled());
  QTest::mouseClick(makit.ToolButton1, Qt::LeftButton);
  EXPECT_EQ(Shown().size(), 1u);
  const size_t requests = home.prompts.fileRequests.size();
  QTest::mouseClick(makit.ToolButton7, Qt::LeftButton);
  EXPECT_EQ(Shown().back(), "The kit has no instrument to save");
  EXPECT_EQ(home.prompts.fileRequests.size(), requests);  // no file to choose in vain
  EXPECT_TRUE(makit.isVisible());

  // Rows that all lack a sound and are not kept are refused alike.
  QTest::mouseClick(makit.ToolButton5, Qt::LeftButton);
  home.prompts.answers.push_back(PromptAnswer::No);
  QTest::mouseClick(makit.ToolButton7, Qt::LeftButton);
  EXPECT_EQ(Shown().back(), "The kit has no instrument to save");
  EXPECT_EQ(home.prompts.fileRequests.size(), requests);
  QTest::mouseClick(makit.RemoveButton, Qt::LeftButton);

  // A new row can be added again and given a sound.
  QTest::mouseClick(makit.ToolButton5, Qt::LeftButton);
  ASSERT_EQ(makit.NameEdits().size(), 1u);
  home.prompts.paths.push_back(WriteConstantWav("hit.wav", 9000, 9000));
  QTest::mouseClick(makit.FileButtons()[0], Qt::LeftButton);
  home.prompts.paths.push_back((home / "one.dxg").string());
  QTest::mouseClick(makit.ToolButton7, Qt::LeftButton);
  TWaveCollection one;
  one.LoadFromFile(home / "one.dxg");
  EXPECT_EQ(one.Count(), 2);
}

TEST_F(KitMakerWindowTest, AMissingBlankFailsThePreparationAndTheWindowStaysOpen) {
  fs::remove(home / "Blank.wav");
  Open(PromptAnswer::No);
  EXPECT_EQ(Shown().back(), "Cannot open file " + (home / "Blank.wav").string());
  EXPECT_TRUE(makit.isVisible());
  EXPECT_EQ(makit.NameEdits().size(), 16u);
}

}  // namespace

namespace {

// The whole road with the real main window: a kit made here from three WAV
// files, saved, imported in the main window and heard from its chooser.
TEST(KitMakerRoad, AKitOfThreeWavFilesIsImportedAndEachSoundPlays) {
  WindowTestHome home;
  TSequence sequence;
  auto mainTape = TestAudio::LastTape();
  TMakit makit;
  home.prompts.answers.push_back(PromptAnswer::No);
  makit.KitMakeClick(sequence.Kit().Items, sequence.HomeDir(), home.prompts);
  ASSERT_EQ(makit.NameEdits().size(), 16u);

  // Different rates, sample sizes and channel counts; constant levels per channel.
  struct Sound {
    const char* name;
    uint32_t rate;
    uint16_t bits;
    std::vector<int> levels;
    float left, right;  // as the output hears them, before the chooser's volume
  };
  const std::vector<Sound> sounds = {
      {"Low", 11025, 8, {200}, 72 / 128.0f, 72 / 128.0f},
      {"Wide", 22050, 16, {12000, -6000}, 12000 / 32768.0f, -6000 / 32768.0f},
      {"Bright", 48000, 16, {-9000}, -9000 / 32768.0f, -9000 / 32768.0f}};
  for (size_t r = 0; r < sounds.size(); ++r) {
    const Sound& s = sounds[r];
    Wave::TWave wave;
    const auto channels = static_cast<uint16_t>(s.levels.size());
    wave.SetFormat(Wave::MakePcmFormat(s.rate, s.bits, channels));
    const int frames = static_cast<int>(s.rate / 4), bytes = s.bits / 8;
    wave.SetSize(frames * channels * bytes);
    uint8_t* out = wave.Data();
    for (int f = 0; f < frames; ++f)
      for (int level : s.levels)
        for (int b = 0; b < bytes; ++b) *out++ = static_cast<uint8_t>(level >> (8 * b));
    const std::string path = (home / (std::string(s.name) + ".wav")).string();
    wave.SaveToFile(path);
    home.prompts.paths.push_back(path);
    QTest::mouseClick(makit.FileButtons()[r], Qt::LeftButton);
    QLineEdit* edit = makit.NameEdits()[r];
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, s.name);
  }
  // The 13 rows left without a sound stay out of the kit.
  home.prompts.answers.push_back(PromptAnswer::No);
  home.prompts.paths.push_back((home / "three.dxg").string());
  QTest::mouseClick(makit.ToolButton7, Qt::LeftButton);
  ASSERT_FALSE(makit.isVisible());

  home.prompts.paths.push_back((home / "three.dxg").string());
  sequence.SoundLibrary1Click();
  ASSERT_EQ(sequence.Kit().Items.Count(), 4);
  EXPECT_EQ(sequence.Instruments().Item(1), "Low       [ ]");
  EXPECT_EQ(sequence.Instruments().Item(3), "Bright    [ ]");

  for (const Sound& s : sounds) {
    SCOPED_TRACE(s.name);
    sequence.ChooseInstrument(KitMakerEntryName(s.name));
    ASSERT_TRUE(mainTape->RenderFrames(24000));  // what choosing sounded has ended
    mainTape->Clear();
    ASSERT_TRUE(mainTape->RenderFrames(4800));
    float quiet = 0;
    for (float v : mainTape->Samples()) quiet = std::max(quiet, std::fabs(v));
    EXPECT_LT(quiet, 1e-6f);
    sequence.ToolButton10->click();  // "Play selected sample"
    mainTape->Clear();
    ASSERT_TRUE(mainTape->RenderFrames(4800));
    const auto heard = mainTape->Samples();
    // The loudest frame carries each channel's level, scaled alike by the volume.
    size_t loudest = 0;
    for (size_t i = 0; i < heard.size(); i += 2)
      if (std::fabs(heard[i]) + std::fabs(heard[i + 1]) >
          std::fabs(heard[loudest]) + std::fabs(heard[loudest + 1]))
        loudest = i;
    const float gain = heard[loudest] / s.left;
    EXPECT_GT(gain, 0.3f);
    EXPECT_LE(gain, 1.02f);
    EXPECT_NEAR(heard[loudest + 1], s.right * gain, 0.01f);
  }
  EXPECT_TRUE(home.prompts.messages.size() == 3u) << home.prompts.Texts().back();
}

}  // namespace
