// Pattern and song files against the sample editor's real slots.
#include <gtest/gtest.h>

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
  SequencerCore Core() { return {home, grid, library, playList, *access, prompts}; }

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
