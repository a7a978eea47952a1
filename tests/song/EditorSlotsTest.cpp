// Pattern and song files against the sample editor's real slots.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/Files.h"
#include "common/ManualUiThread.h"
#include "common/ScriptedPrompts.h"
#include "kit/DXSounds.h"
#include "pattern/PatternGrid.h"
#include "pattern/PatternLibrary.h"
#include "pattern/PatternStore.h"
#include "render/SampleEditor.h"
#include "render/SlotTestSupport.h"
#include "song/EditorSlotAccess.h"
#include "song/EntryLoad.h"
#include "song/PlayList.h"
#include "song/SequencerCore.h"
#include "song/SongMenu.h"
#include "song/SongSettings.h"
#include "support/SoundFiles.h"

namespace {

// A main window's core state over a sample editor on a capture device.
struct EditorDesk {
  explicit EditorDesk(const std::filesystem::path& home) : home(home) {
    sound.Initialize();
    editor = std::make_unique<SampleEditor>(sound, ui, home,
                                            [](const std::function<void()>& action) { action(); });
    editor->OnSlotButtonCaption = [this](int slot, const std::string& caption) {
      captions.emplace_back(slot, caption);
    };
    editor->FormCreate();
    access = std::make_unique<EditorSlotAccess>(*editor);
    grid.WriteNewPattern(16, 4);
  }
  ~EditorDesk() { editor.reset(); }
  SampleSlots& slots() { return editor->Slots(); }
  SequencerCore Core() { return {home, grid, library, playList, *access, prompts, settings}; }
  SongSettings settings;

  std::filesystem::path home;
  SoundWindow window;
  TDXSound sound{&window};
  ManualUiThread ui;
  std::unique_ptr<SampleEditor> editor;
  std::unique_ptr<EditorSlotAccess> access;
  std::vector<std::pair<int, std::string>> captions;
  PatternGrid grid;
  PatternLibrary library;
  PlayList playList;
  ScriptedPrompts prompts;
};

}  // namespace

TEST(EditorSlots, PatternCarriesSlotFilesAndFrequencies) {
  CaptureSound capture;
  SlotHome home;
  WriteWav(home / "clap.wav", 22050, 2000);
  {
    EditorDesk desk(home.path());
    desk.slots().LoadFile(3, (home / "clap.wav").string(), 30000);
    desk.grid.SetCell(0, 0, "with clap");
    auto core = desk.Core();
    ASSERT_TRUE(SavePattern(core, {60, 1}));
  }
  EditorDesk desk(home.path());
  desk.playList.Append("with clap");
  desk.playList.Select(0);
  auto core = desk.Core();
  const auto load = LoadSelectedEntry(core);
  ASSERT_TRUE(load);
  EXPECT_TRUE(load->slotError.empty());
  EXPECT_EQ(desk.slots().FileName(3), (home / "clap.wav").string());
  EXPECT_EQ(desk.slots().Frequency(3), 30000u);
  EXPECT_EQ(desk.slots().BaseFrequency(3), 30000);
  EXPECT_EQ(desk.slots().FileName(4), "Blank.wav");
  EXPECT_EQ(desk.captions, (std::vector<std::pair<int, std::string>>{{3, "clap"}}));
  EXPECT_TRUE(desk.editor->HoldsSample());
  EXPECT_TRUE(desk.editor->Controls().playEnabled);
}

TEST(EditorSlots, SongCarriesFilesFrequenciesAndPans) {
  CaptureSound capture;
  SlotHome home;
  WriteWav(home / "ride.wav", 44100, 2000);
  const auto song = (home / "mix.sng").string();
  {
    EditorDesk desk(home.path());
    desk.slots().LoadFile(7, (home / "ride.wav").string(), 40000);
    desk.slots().SetPan(7, -2500);
    desk.playList.Append("a");
    desk.prompts.paths = {song};
    auto core = desk.Core();
    ASSERT_TRUE(SaveSong(core));
  }
  EditorDesk desk(home.path());
  desk.prompts.paths = {song};
  auto core = desk.Core();
  const auto opened = OpenSong(core);
  ASSERT_TRUE(opened);
  EXPECT_TRUE(opened->slotError.empty());
  EXPECT_EQ(desk.playList.Names(), std::vector<std::string>{"a"});
  EXPECT_EQ(desk.slots().FileName(7), (home / "ride.wav").string());
  EXPECT_EQ(desk.slots().Frequency(7), 40000u);
  EXPECT_EQ(desk.slots().Pan(7), -2500);
  EXPECT_EQ(desk.slots().Frequency(8), 22050u);
  EXPECT_EQ(desk.captions.size(), 32u);
  EXPECT_TRUE(desk.editor->HoldsSample());
}

namespace fs = std::filesystem;

// A song keeps the FLAC the user chose, not the WAV it was decoded to, and
// opening it decodes the FLAC again.
TEST(EditorSlots, ASongNamesTheFlacItsSlotPlays) {
  CaptureSound capture;
  SlotHome home;
  const SndFileDecoding decoding;
  const auto flac = (home / "shaker.flac").string();
  sound_files::WriteSound(flac, sound_files::kFlac16, 32000, 2,
                          sound_files::Widen(sound_files::Tone16(3200, 32000)));
  const auto song = (home / "flac.sng").string();
  {
    EditorDesk desk(home.path());
    desk.slots().LoadFile(5, flac, 32000);
    desk.playList.Append("a");
    desk.prompts.paths = {song};
    auto core = desk.Core();
    ASSERT_TRUE(SaveSong(core));
  }
  const Lines lines = ReadTextLines(song);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), flac), 1);
  fs::remove(home / "temp" / "decoded-sample5.wav");

  EditorDesk desk(home.path());
  desk.prompts.paths = {song};
  auto core = desk.Core();
  const auto opened = OpenSong(core);
  ASSERT_TRUE(opened);
  EXPECT_EQ(opened->slotError, "");
  EXPECT_EQ(desk.slots().FileName(5), flac);
  EXPECT_EQ(desk.slots().ReadableFile(5), (home / "temp" / "decoded-sample5.wav").string());
  EXPECT_TRUE(fs::exists(home / "temp" / "decoded-sample5.wav"));
  EXPECT_EQ(desk.slots().Frequency(5), 32000u);
  EXPECT_EQ(desk.captions[4], std::make_pair(5, std::string("shaker.")));
}
