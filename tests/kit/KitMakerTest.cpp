#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "common/Exception.h"
#include "common/Files.h"
#include "common/ManualUiThread.h"
#include "kit/AudioStream.h"
#include "kit/DXWaveList.h"
#include "kit/KitMaker.h"
#include "kit/SoundTestSupport.h"
#include "support/SoundFiles.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kDefaultRows = {
    "Kick",    "Short Kick", "Snare",  "ClsHiat", "OpHiat", "Tom1",    "Tom2",  "Cymbol1",
    "Cymbol2", "Rimshot",    "Shaker", "Block",   "Congo",  "Cowbell", "Crack", "Tamb"};

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

std::string WaveBytes(const Wave::TWave& wave) {
  return wave.Image();
}

// A wave of constant sample values per channel, for listening by level.
Wave::TWave ConstantWave(uint32_t rate, uint16_t bits, std::vector<int> channelValues, int frames) {
  const auto channels = static_cast<uint16_t>(channelValues.size());
  Wave::TWave wave;
  wave.SetFormat(Wave::MakePcmFormat(rate, bits, channels));
  const int bytes = bits / 8;
  wave.SetSize(frames * channels * bytes);
  uint8_t* out = wave.Data();
  for (int f = 0; f < frames; ++f)
    for (int value : channelValues)
      for (int b = 0; b < bytes; ++b) *out++ = static_cast<uint8_t>(value >> (8 * b));
  return wave;
}

class KitMakerTest : public ::testing::Test {
 protected:
  TempDir home;
  ManualUiThread ui;
  std::shared_ptr<CaptureTape> tape = ManualTape();
  SoundWindow window{5};
  std::unique_ptr<TDXSound> sound;
  std::unique_ptr<KitMaker> maker;
  TWaveCollection mainKit;

  void SetUp() override {
    SetAudioOutputFactory(CaptureFactory(tape));
    const fs::path built = KORVANTO_TEST_BUILD_DIR;
    fs::create_directory(home / "temp");
    fs::copy_file(built / "kit" / "Blank.wav", home / "Blank.wav");
    mainKit.LoadFromFile(built / "kit" / "power.dxg");
    sound = std::make_unique<TDXSound>(&window);
    maker = std::make_unique<KitMaker>(*sound, ui);
  }
  void TearDown() override {
    maker.reset();
    sound.reset();
    SetAudioOutputFactory(nullptr);
  }

  void Make(bool templated) {
    maker->GetKitList(mainKit);
    maker->PrepareKit(mainKit, home.path(), templated);
  }
  std::string Blank() const { return ReadFileBytes(home / "Blank.wav"); }
  std::string WriteWave(const std::string& name, const Wave::TWave& wave) {
    wave.SaveToFile(home / name);
    return (home / name).string();
  }
  std::vector<float> Render(int frames) {
    tape->Clear();
    EXPECT_TRUE(tape->RenderFrames(frames));
    return tape->Samples();
  }
};

float Peak(const std::vector<float>& samples) {
  float peak = 0;
  for (float s : samples) peak = std::max(peak, std::fabs(s));
  return peak;
}

TEST_F(KitMakerTest, TheDefaultKitGivesSixteenNamedRowsAndSavedUnchangedKeepsItsNames) {
  Make(false);
  ASSERT_EQ(maker->RowCount(), 16);
  for (int r = 0; r < 16; ++r) EXPECT_EQ(maker->RowName(r), kDefaultRows[r]) << r;
  EXPECT_EQ(maker->SelectedRow(), 0);
  EXPECT_EQ(maker->CurrentEntry(), 1);

  maker->SaveKit(home / "mine.dxg");
  TWaveCollection loaded;
  loaded.LoadFromFile(home / "mine.dxg");
  ASSERT_EQ(loaded.Count(), 17);
  for (int i = 0; i < 17; ++i) EXPECT_EQ(loaded[i].Name(), mainKit[i].Name()) << i;
  EXPECT_EQ(loaded[0].Name(), "");
  EXPECT_EQ(loaded.IndexOfName("short kick[ ]"), 2);
}

// A kit's own long names survive a save unchanged, so its patterns still play.
TEST_F(KitMakerTest, LongNamesFromTheKitAreKeptAndMayBeShortened) {
  mainKit[1].SetName("Hand Clap Big[ ]");
  mainKit[2].SetName("Tambourine Long[ ]");
  Make(false);
  EXPECT_EQ(maker->RowName(0), "Hand Clap Big");
  maker->SetRowName(1, "Tambourine Lon");   // shortened by a keystroke
  maker->SetRowName(1, "Tambourine Lonx");  // but never grown again
  maker->SaveKit(home / "long.dxg");
  TWaveCollection loaded;
  loaded.LoadFromFile(home / "long.dxg");
  EXPECT_EQ(loaded[1].Name(), "Hand Clap Big[ ]");
  EXPECT_EQ(loaded[2].Name(), "Tambourine Lon[ ]");
}

TEST_F(KitMakerTest, NamesArePaddedToTenThenMarkedAndTypedNamesStopAtTen) {
  Make(false);
  maker->SetRowName(0, "Bop");
  maker->SetRowName(1, "Twelve cha");
  maker->SetRowName(1, "Twelve char");  // typing past ten is refused
  maker->SetRowName(2, "");
  maker->SetRowName(3, "Line\r\nbreak");
  maker->SaveKit(home / "named.dxg");
  TWaveCollection loaded;
  loaded.LoadFromFile(home / "named.dxg");
  EXPECT_EQ(loaded[1].Name(), "Bop       [ ]");
  EXPECT_EQ(loaded[2].Name(), "Twelve cha[ ]");
  EXPECT_EQ(loaded[3].Name(), "          [ ]");
  EXPECT_EQ(loaded[4].Name(), "Linebreak [ ]");
  EXPECT_EQ(KitMakerRowName("Sample12"), "Sampl");
  EXPECT_EQ(KitMakerRowName("  Hat  [ ]"), "Hat");
  EXPECT_EQ(KitMakerRowName("ab"), "");
}

TEST_F(KitMakerTest, NoGivesEveryEntryTheBlankSoundAndYesCopiesEachSoundThroughTemp) {
  Make(false);
  ASSERT_EQ(maker->Kit().Count(), 17);
  for (int i = 0; i < 17; ++i) {
    EXPECT_EQ(WaveBytes(maker->Kit()[i].Wave()), Blank()) << i;
    EXPECT_EQ(maker->File(i), (home / "Blank.wav").string()) << i;
  }
  EXPECT_EQ(maker->File(17), (home / "Blank.wav").string());  // the first added row's
  EXPECT_EQ(maker->File(18), "");
  EXPECT_FALSE(fs::exists(home / "temp" / "1.wav"));

  Make(true);
  ASSERT_EQ(maker->Kit().Count(), 17);
  EXPECT_EQ(WaveBytes(maker->Kit()[0].Wave()), Blank());
  for (int i = 1; i < 17; ++i) {
    const fs::path copy = home / "temp" / (std::to_string(i) + ".wav");
    EXPECT_EQ(maker->File(i), copy.string());
    EXPECT_EQ(ReadFileBytes(copy), mainKit[i].Wave().Image()) << i;
    EXPECT_EQ(WaveBytes(maker->Kit()[i].Wave()), mainKit[i].Wave().Image()) << i;
    EXPECT_EQ(maker->Kit()[i].Name(), mainKit[i].Name());
  }
  EXPECT_NE(mainKit[1].Wave().Image(), Blank());
}

TEST_F(KitMakerTest, APickedFileThatIsNoWaveKeepsTheEntrysSoundAndFile) {
  Make(true);
  const std::string kick = mainKit[1].Wave().Image();
  std::ofstream(home / "notes.wav") << "plain text, not a RIFF file";
  maker->PickFor(0);
  EXPECT_EQ(ErrorOf([&] { maker->LoadSample((home / "notes.wav").string()); }), "Wave is invalid");
  EXPECT_EQ(WaveBytes(maker->Kit()[1].Wave()), kick);
  EXPECT_EQ(maker->File(1), (home / "temp" / "1.wav").string());
  EXPECT_EQ(ErrorOf([&] { maker->LoadSample((home / "gone.wav").string()); }),
            "Cannot open file " + (home / "gone.wav").string());

  // A good file goes to the row whose "..." was clicked.
  const auto boom = ConstantWave(22050, 16, {3000}, 100);
  const std::string path = WriteWave("boom.wav", boom);
  maker->PickFor(4);
  EXPECT_EQ(maker->SelectedRow(), 4);
  EXPECT_EQ(maker->ButtonRow(), 4);
  maker->LoadSample(path);
  EXPECT_EQ(WaveBytes(maker->Kit()[5].Wave()), boom.Image());
  EXPECT_EQ(maker->File(5), path);
  EXPECT_EQ(maker->File(0), path);
  EXPECT_EQ(WaveBytes(maker->Kit()[1].Wave()), kick);
}

// Files of other formats are decoded; the kit keeps 16-bit PCM.
TEST_F(KitMakerTest, FlacDeepAndMp3FilesBecomeSixteenBitEntries) {
  using namespace sound_files;
  const SndFileDecoding decoding;
  Make(true);
  const auto tone = Tone16(2205, 22050);
  WriteSound(home / "snare.flac", kFlac16, 22050, 2, Widen(tone));
  WriteSound(home / "deep.wav", kWav24, 48000, 1, Widen(std::vector<int16_t>(480, 1000)));
  WriteSound(home / "hat.mp3", kMp3, 44100, 2, Widen(Tone16(4410, 44100)));

  maker->PickFor(2);
  maker->LoadSample((home / "snare.flac").string());
  const Wave::TWave& snare = maker->Kit()[3].Wave();
  EXPECT_EQ(snare.Image(), MakeWave16(tone, 22050).Image());
  EXPECT_EQ(maker->File(0), (home / "snare.flac").string());
  EXPECT_EQ(maker->File(3), (home / "temp" / "decoded-kit3.wav").string());
  maker->PickFor(3);
  maker->LoadSample((home / "deep.wav").string());
  maker->PickFor(4);
  maker->LoadSample((home / "hat.mp3").string());
  // Listening plays what was decoded.
  maker->SelectRow(2);
  maker->Play();
  EXPECT_EQ(maker->ListeningStream()->FileName(), maker->File(3));
  EXPECT_TRUE(maker->ListeningStream()->Playing());

  maker->SaveKit(home / "mixed.dxg");
  TWaveCollection saved;
  saved.LoadFromFile(home / "mixed.dxg");
  EXPECT_EQ(saved[3].Wave().Image(), snare.Image());
  EXPECT_EQ(saved[4].Wave().FormatBytes(), Wave::MakePcmFormat(48000, 16, 1));
  EXPECT_EQ(saved[4].Wave().Size(), 960);
  EXPECT_EQ(saved[5].Wave().FormatBytes(), Wave::MakePcmFormat(44100, 16, 2));
  EXPECT_EQ(saved[5].Wave().Size(), 4410 * 4);

  // A file that can't be decoded leaves the entry as it was.
  std::ofstream(home / "notes.flac") << "plain text";
  EXPECT_EQ(ErrorOf([&] { maker->LoadSample((home / "notes.flac").string()); }),
            "Wave is invalid: " + (home / "notes.flac").string());
  EXPECT_EQ(maker->Kit()[5].Wave().Image(), saved[5].Wave().Image());
  EXPECT_EQ(maker->File(5), (home / "temp" / "decoded-kit5.wav").string());
  EXPECT_EQ(maker->File(0), (home / "hat.mp3").string());
}

TEST_F(KitMakerTest, AddedRowsTakeTheNextChooserNameUpToAHundredRows) {
  Make(false);
  ASSERT_TRUE(maker->AddRow());
  EXPECT_EQ(maker->RowCount(), 17);
  EXPECT_EQ(maker->RowName(16), "Samp");  // "Sample1" without its last 3 characters
  EXPECT_EQ(maker->SelectedRow(), 16);
  EXPECT_EQ(maker->CurrentEntry(), 17);
  ASSERT_EQ(maker->Kit().Count(), 18);
  EXPECT_EQ(WaveBytes(maker->Kit()[17].Wave()), Blank());
  ASSERT_TRUE(maker->AddRow());
  EXPECT_EQ(maker->RowName(17), "Samp");

  while (maker->RowCount() < KitMaker::kMaxRows) ASSERT_TRUE(maker->AddRow());
  EXPECT_EQ(maker->RowName(47), "Sampl");  // "Sample32"
  EXPECT_EQ(maker->RowName(48), "");       // past the chooser's items
  EXPECT_FALSE(maker->AddRow());
  EXPECT_EQ(maker->RowCount(), KitMaker::kMaxRows);
  EXPECT_EQ(maker->Kit().Count(), KitMaker::kMaxRows + 1);

  // A file still goes to the last entry, and the kit saves all of it.
  const std::string path = WriteWave("last.wav", ConstantWave(8000, 8, {200}, 10));
  maker->PickFor(99);
  maker->LoadSample(path);
  EXPECT_EQ(maker->File(100), path);
  maker->SaveKit(home / "big.dxg");
  TWaveCollection loaded;
  loaded.LoadFromFile(home / "big.dxg");
  EXPECT_EQ(loaded.Count(), 101);
  EXPECT_EQ(loaded[17].Name(), "Samp      [ ]");
}

TEST_F(KitMakerTest, AMissingBlankFailsThePreparationWithTheFileOpenError) {
  fs::remove(home / "Blank.wav");
  maker->GetKitList(mainKit);
  EXPECT_EQ(ErrorOf([&] { maker->PrepareKit(mainKit, home.path(), false); }),
            "Cannot open file " + (home / "Blank.wav").string());
  EXPECT_EQ(maker->RowCount(), 16);
  // Nothing to save into: a clear error, no file.
  EXPECT_EQ(ErrorOf([&] { maker->SaveKit(home / "x.dxg"); }), "List index out of bounds (0)");
  EXPECT_FALSE(fs::exists(home / "x.dxg"));
  EXPECT_EQ(ErrorOf([&] { maker->Play(); }), "WaveStream not set");
}

TEST_F(KitMakerTest, ListeningPlaysTheSelectedRowsFileAndARowWithoutFileRaises) {
  Make(false);
  const std::string path =
      WriteWave("loud.wav", ConstantWave(44100, 16, {16000, -16000}, 44100 / 2));
  maker->PickFor(2);
  maker->LoadSample(path);
  EXPECT_LT(Peak(Render(2400)), 1e-6f);
  maker->Play();
  ASSERT_NE(maker->ListeningStream(), nullptr);
  EXPECT_EQ(maker->ListeningStream()->FileName(), path);
  EXPECT_TRUE(maker->ListeningStream()->Playing());
  const auto heard = Render(4800);
  EXPECT_NEAR(heard[2 * 2400], 16000 / 32768.0f, 0.02f);
  EXPECT_NEAR(heard[2 * 2400 + 1], -16000 / 32768.0f, 0.02f);

  // A blank row plays the blank file from the home folder.
  maker->SelectRow(0);
  maker->Play();
  EXPECT_EQ(maker->ListeningStream()->FileName(), (home / "Blank.wav").string());

  ASSERT_TRUE(maker->AddRow());  // entry 17 has the blank file
  maker->Play();
  ASSERT_TRUE(maker->AddRow());  // entry 18 has none
  EXPECT_EQ(ErrorOf([&] { maker->Play(); }), "WaveStream not set");
  EXPECT_FALSE(maker->ListeningStream()->Playing());

  // Closing the device frees the stream that plays on it.
  sound->Finalize();
  EXPECT_EQ(maker->ListeningStream(), nullptr);
}

TEST_F(KitMakerTest, AKitOfThreeDifferentWavesPlaysEachSoundOnceLoaded) {
  Make(false);
  maker->SetRowName(0, "Low");
  maker->SetRowName(1, "Wide");
  maker->SetRowName(2, "Bright");
  const std::vector<Wave::TWave> waves = {
      ConstantWave(11025, 8, {200}, 11025 / 2),            // mono, 8 bits
      ConstantWave(22050, 16, {12000, -6000}, 22050 / 2),  // stereo
      ConstantWave(48000, 16, {-9000}, 48000 / 2)};        // mono, 16 bits
  for (int r = 0; r < 3; ++r) {
    maker->PickFor(r);
    maker->LoadSample(WriteWave("w" + std::to_string(r) + ".wav", waves[r]));
  }
  maker->SaveKit(home / "three.dxg");

  auto playTape = ManualTape();
  SetAudioOutputFactory(CaptureFactory(playTape));
  SoundWindow playWindow{9};
  TDXSound playSound(&playWindow);
  playSound.Initialize();
  TDXWaveList kit(ui);
  kit.Items.LoadFromFile(home / "three.dxg");
  kit.SetDXSound(&playSound);
  ASSERT_EQ(kit.Items.Count(), 17);

  // Each sound's level per channel, as the mixer scales 8- and 16-bit data.
  const std::vector<std::pair<float, float>> expected = {{72 / 128.0f, 72 / 128.0f},
                                                         {12000 / 32768.0f, -6000 / 32768.0f},
                                                         {-9000 / 32768.0f, -9000 / 32768.0f}};
  const char* names[] = {"Low       [ ]", "Wide      [ ]", "Bright    [ ]"};
  for (int r = 0; r < 3; ++r) {
    SCOPED_TRACE(names[r]);
    playTape->Clear();
    ASSERT_TRUE(playTape->RenderFrames(4800));
    EXPECT_LT(Peak(playTape->Samples()), 1e-6f);  // the one before has ended
    kit.Play(kit.Items.Find(names[r]));
    playTape->Clear();
    ASSERT_TRUE(playTape->RenderFrames(4800));
    const auto heard = playTape->Samples();
    EXPECT_NEAR(heard[2 * 4000], expected[r].first, 0.02f);
    EXPECT_NEAR(heard[2 * 4000 + 1], expected[r].second, 0.02f);
    // Let it end (half a second each).
    ASSERT_TRUE(playTape->RenderFrames(48000));
  }
  kit.SetDXSound(nullptr);
}

}  // namespace

TEST_F(KitMakerTest, WithoutASoundDeviceAKitIsStillBuiltButListeningFails) {
  maker.reset();
  sound.reset();
  CaptureTape::Settings none;
  none.refuseOpen = true;
  SetAudioOutputFactory(CaptureFactory(std::make_shared<CaptureTape>(none)));
  sound = std::make_unique<TDXSound>(&window);
  maker = std::make_unique<KitMaker>(*sound, ui);
  Make(true);
  EXPECT_EQ(maker->RowCount(), 16);
  EXPECT_THROW(maker->Play(), EDirectSoundBufferError);
  maker->SaveKit(home / "quiet.dxg");
  TWaveCollection loaded;
  loaded.LoadFromFile(home / "quiet.dxg");
  EXPECT_EQ(loaded.Count(), 17);
  EXPECT_EQ(loaded[1].Wave().Size(), mainKit[1].Wave().Size());
}

namespace {

// Removing a row takes its entry and file with it; the selection stays on a
// row that is there, the same one where it can.
TEST_F(KitMakerTest, ARemovedRowTakesItsEntryAndFileAndTheSelectionStaysOnARow) {
  struct Case {
    int selected, removed, selectedAfter;
  };
  const Case cases[] = {{5, 2, 4}, {5, 5, 5}, {15, 15, 14}, {0, 0, 0}, {3, 10, 3}};
  const auto boom = ConstantWave(22050, 16, {3000}, 11025);
  const std::string path = WriteWave("boom.wav", boom);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.selected) + " " + std::to_string(c.removed));
    Make(false);
    maker->PickFor(6);
    maker->LoadSample(path);
    maker->SelectRow(c.selected);
    maker->RemoveRow(c.removed);
    ASSERT_EQ(maker->RowCount(), 15);
    EXPECT_EQ(maker->Kit().Count(), 16);
    EXPECT_EQ(maker->SelectedRow(), c.selectedAfter);
    const int boomRow = c.removed < 6 ? 5 : 6;
    EXPECT_EQ(maker->RowName(boomRow), "Tom2");
    EXPECT_EQ(maker->RowFileName(boomRow), "boom.wav");
    EXPECT_DOUBLE_EQ(maker->RowSeconds(boomRow), 0.5);
    EXPECT_EQ(maker->File(boomRow + 1), path);
    EXPECT_EQ(WaveBytes(maker->Kit()[boomRow + 1].Wave()), boom.Image());
    EXPECT_EQ(maker->SilentRows().size(), 14u);
  }
  // Rows past the end change nothing.
  maker->RemoveRow(15);
  maker->RemoveRow(-1);
  EXPECT_EQ(maker->RowCount(), 15);
}

TEST_F(KitMakerTest, WithoutKeepingSilentRowsOnlyRowsWithASoundAreSaved) {
  Make(true);
  maker->AddRow();
  EXPECT_EQ(maker->RowFileName(0), KitMaker::kCurrentKitSound);
  EXPECT_EQ(maker->SilentRows(), std::vector<int>{16});
  maker->SaveKit(home / "kept.dxg", false);
  TWaveCollection kept;
  kept.LoadFromFile(home / "kept.dxg");
  ASSERT_EQ(kept.Count(), 17);
  for (int i = 1; i < 17; ++i) EXPECT_EQ(WaveBytes(kept[i].Wave()), mainKit[i].Wave().Image());

  Make(false);
  EXPECT_EQ(ErrorOf([&] { maker->SaveKit(home / "none.dxg", false); }),
            "The kit has no instrument to save");
  EXPECT_FALSE(fs::exists(home / "none.dxg"));
}

}  // namespace
