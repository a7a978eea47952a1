// The main window's render flow: buttons, dialog, empty play list, and a
// second request while a render runs.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/Exception.h"
#include "common/Files.h"
#include "common/ScriptedPrompts.h"
#include "render/RenderFlow.h"
#include "render/RenderProgress.h"
#include "render/RenderTestSupport.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace rendertest;

namespace {

struct Recorder {
  std::vector<std::string> calls;
  int compiles = 0;
};

class RenderFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(home_ / "temp");
    kick_ = Tone(2000, 1, 44100, 20, 20000);
    MakeKit(kit_, {{"Kick      [ ]", kick_}});
    chooser_.Rebuild(kit_);
    WriteWav(home_ / "Blank.wav", Tone(10, 1, 44100, 3, 0));
    host_.home = home_.path();
    host_.kit = &kit_;
    host_.chooser = &chooser_;
    host_.slots = [] { return SlotSounds{}; };
    host_.playListEmpty = [this] { return playListEmpty_; };
    host_.compile = [this] {
      ++rec_.compiles;
      rec_.calls.push_back("compile");
      return Lines{"//", "60", "Kick      [ ]", "", "", "", "", "", "Kick      [ ]", "%%%"};
    };
    host_.setPlayButtonsEnabled = [this](bool on) {
      rec_.calls.push_back(on ? "enable" : "disable");
    };
    host_.clearPlaySequence = [this] { rec_.calls.push_back("clear"); };
  }

  TempDir home_;
  TWaveCollection kit_;
  InstrumentTable chooser_;
  Sound kick_;
  RenderHost host_;
  Recorder rec_;
  bool playListEmpty_ = false;
  ScriptedPrompts prompts_;
  RenderFlow flow_;
};

TEST_F(RenderFlowTest, RendersToTheChosenFileAndRestoresTheButtons) {
  prompts_.paths.push_back((home_ / "song.wav").string());
  RenderProgress progress;
  flow_.RendorClick(host_, prompts_, progress);
  ASSERT_EQ(prompts_.fileRequests.size(), 1u);
  const FileRequest& request = prompts_.fileRequests[0];
  EXPECT_EQ(request.title, "Save As One Big Lovely WAV File - The whole song: 0:00.2");
  EXPECT_EQ(request.filter, "Audio files (*.wav)|*.WAV|FLAC (*.flac)|*.flac|All files (*.*)|*.*");
  EXPECT_EQ(request.defaultSuffix, "wav");
  EXPECT_TRUE(request.askBeforeOverwrite);
  EXPECT_EQ(rec_.calls, (std::vector<std::string>{"disable", "compile", "enable", "clear"}));
  ReferenceSong ref;
  ref.Add({&kick_, 44100, 0.875, 0, 0});  // a blank digit counts as 1
  ref.Add({&kick_, 44100, 0.875, 0, 0.12});
  EXPECT_TRUE(Bytes(home_ / "song.wav") == ref.FileBytes());
  // Kit entries and slots were exported for the assembly.
  EXPECT_TRUE(fs::exists(home_ / "temp" / "1.wav"));
  EXPECT_TRUE(fs::exists(home_ / "temp" / "sample32.wav"));
  EXPECT_FALSE(flow_.Running());
}

TEST_F(RenderFlowTest, AnEmptyPlayListOrACancelledDialogWritesNothing) {
  WriteFileAtomically(home_ / "temp" / "1.wav", "kept");
  playListEmpty_ = true;
  RenderProgress progress;
  flow_.RendorClick(host_, prompts_, progress);
  EXPECT_EQ(rec_.calls, (std::vector<std::string>{"disable", "enable"}));
  EXPECT_EQ(Bytes(home_ / "temp" / "1.wav"), "kept");
  EXPECT_TRUE(prompts_.fileRequests.empty());

  playListEmpty_ = false;
  rec_.calls.clear();
  flow_.RendorClick(host_, prompts_, progress);  // the dialog is cancelled
  EXPECT_EQ(prompts_.fileRequests.size(), 1u);
  EXPECT_EQ(rec_.calls, (std::vector<std::string>{"disable", "compile", "enable", "clear"}));
  // Only the temporary sounds were written.
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(home_.path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Blank.wav", "temp"}));
}

// The window lets events run during a render: a second render request then
// is ignored instead of working on the same files.
TEST_F(RenderFlowTest, ASecondRequestDuringARenderIsIgnored) {
  struct Reentering : RenderProgress {
    RenderFlow* flow;
    RenderHost* host;
    Prompts* prompts;
    bool tried = false;
    bool Cancelled() override {
      if (!tried) {
        tried = true;
        EXPECT_TRUE(flow->Running());
        flow->RendorClick(*host, *prompts, *this);
      }
      return false;
    }
  } progress;
  progress.flow = &flow_;
  progress.host = &host_;
  progress.prompts = &prompts_;
  prompts_.paths.push_back((home_ / "one.wav").string());
  prompts_.paths.push_back((home_ / "two.wav").string());
  flow_.RendorClick(host_, prompts_, progress);
  EXPECT_TRUE(progress.tried);
  EXPECT_EQ(prompts_.fileRequests.size(), 1u);
  EXPECT_EQ(rec_.compiles, 1);
  EXPECT_TRUE(fs::exists(home_ / "one.wav"));
  EXPECT_FALSE(fs::exists(home_ / "two.wav"));
  EXPECT_FALSE(flow_.Running());
}

// The exports share the render's flow: the play buttons and the play
// sequence as the render leaves them, a cancelled dialog writes nothing.
TEST_F(RenderFlowTest, StemsAndMidiFilesFromTheFlow) {
  host_.settings.monoStems = true;
  prompts_.paths.push_back((home_ / "stems").string());
  RenderProgress progress;
  flow_.ExportStemsClick(host_, prompts_, progress);
  EXPECT_EQ(rec_.calls, (std::vector<std::string>{"disable", "compile", "enable", "clear"}));
  EXPECT_EQ(prompts_.fileRequests.back().title,
            "Export stems into folder - The whole song: 0:00.2");
  const std::string stem = Bytes(home_ / "stems" / "01 Kick.wav");
  EXPECT_EQ(stem.substr(22, 2), std::string("\x01\x00", 2));  // mono
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text, "1 of 1 stems were written to " +
                                           (home_ / "stems").string() + "\nThe whole song: 0:00.2");

  // The MIDI file leaves the players alone; nothing is written on cancel.
  rec_.calls.clear();
  flow_.ExportMidiClick(host_, prompts_);
  EXPECT_EQ(rec_.calls, std::vector<std::string>{"compile"});
  EXPECT_EQ(prompts_.fileRequests.back().defaultSuffix, "mid");
  prompts_.paths.push_back((home_ / "song.mid").string());
  flow_.ExportMidiClick(host_, prompts_);
  EXPECT_EQ(Bytes(home_ / "song.mid").substr(0, 4), "MThd");
  EXPECT_EQ(prompts_.messages.back().text,
            "MIDI file written to " + (home_ / "song.mid").string() + "\nThe whole song: 0:00.2");
  playListEmpty_ = true;
  flow_.ExportMidiClick(host_, prompts_);
  EXPECT_EQ(rec_.compiles, 3);
  EXPECT_FALSE(flow_.Running());
}

// What the window's render and exports may not write: the files the song
// reads and the home's own. Each answer of the dialog is refused with a
// message and the file stays as it was.
TEST_F(RenderFlowTest, OutputsNeverReplaceTheSongsFiles) {
  WriteWav(home_ / "clap.wav", Tone(100, 1, 44100, 3, 1000));  // a sample the song plays
  host_.slots = [this] {
    SlotSounds slots;
    slots[4].fileName = (home_ / "clap.wav").string();
    return slots;
  };
  for (const char* name : {"Demo.sng", "Rock.pat", "power.dxg", "Panning.dat"})
    WriteFileAtomically(home_ / name, std::string("the home's ") + name);
  fs::create_symlink("Demo.sng", home_ / "link.wav");
  using Click = void (*)(RenderFlow&, RenderHost&, Prompts&, RenderProgress&);
  const Click render = [](RenderFlow& f, RenderHost& h, Prompts& p, RenderProgress& r) {
    f.RendorClick(h, p, r);
  };
  const Click midi = [](RenderFlow& f, RenderHost& h, Prompts& p, RenderProgress&) {
    f.ExportMidiClick(h, p);
  };
  const Click stems = [](RenderFlow& f, RenderHost& h, Prompts& p, RenderProgress& r) {
    f.ExportStemsClick(h, p, r);
  };
  struct Case {
    Click click;
    fs::path chosen;
    std::string reason;
  };
  const Case cases[] = {
      {render, home_ / "Demo.sng", "Korvanto keeps it in its home folder"},
      {render, home_ / "link.wav", "Korvanto keeps it in its home folder"},
      {render, home_ / "power.dxg", "Korvanto keeps it in its home folder"},
      {render, home_ / "clap.wav", "it is one of the files being read"},
      {render, home_ / "Blank.wav", "it is one of the files being read"},
      {render, home_ / "temp" / "song.wav", "the temp folder holds Korvanto's work files"},
      {midi, home_ / "Rock.pat", "Korvanto keeps it in its home folder"},
      {midi, home_ / "Panning.dat", "Korvanto keeps it in its home folder"},
      {stems, home_ / "temp", "the temp folder holds Korvanto's work files"},
  };
  const auto before = [&] {
    std::vector<std::string> bytes;
    for (const char* name :
         {"Demo.sng", "Rock.pat", "power.dxg", "Panning.dat", "clap.wav", "Blank.wav"})
      bytes.push_back(Bytes(home_ / name));
    return bytes;
  };
  const auto kept = before();
  for (const Case& c : cases) {
    prompts_.paths.push_back(c.chosen.string());
    RenderProgress progress;
    try {
      c.click(flow_, host_, prompts_, progress);
      ADD_FAILURE() << c.chosen << " was written";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "Cannot write " + c.chosen.string() + ": " + c.reason);
    }
    EXPECT_EQ(before(), kept) << c.chosen;
    EXPECT_FALSE(fs::exists(home_ / "temp" / "song.wav"));
    EXPECT_FALSE(flow_.Running());
  }
}

// Cells naming instruments the kit lacks: one message names them all; a song
// of nothing else is not rendered.
TEST_F(RenderFlowTest, InstrumentsTheKitLacksAreNamed) {
  host_.compile = [] {
    return Lines{
        "//", "60", "Kick      [ ]", "Cowbell   [ ]", "Clap      [3]", "", "", "", "Cowbell   [2]",
        "%%%"};
  };
  prompts_.paths.push_back((home_ / "song.wav").string());
  RenderProgress progress;
  flow_.RendorClick(host_, prompts_, progress);
  EXPECT_EQ(prompts_.Texts(),
            (std::vector<std::string>{
                "The kit has no instrument named 'Cowbell', 'Clap': their steps stay silent.",
                "Rendered to " + (home_ / "song.wav").string() + "\nThe whole song: 0:00.2"}));
  EXPECT_TRUE(fs::exists(home_ / "song.wav"));

  host_.compile = [] { return Lines{"//", "60", "Cowbell   [ ]", "%%%"}; };
  prompts_.paths.push_back((home_ / "silent.wav").string());
  try {
    flow_.RendorClick(host_, prompts_, progress);
    ADD_FAILURE() << "a silent song was rendered";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(),
              "The kit has no instrument named 'Cowbell': the song would be silent, so nothing "
              "was written.");
  }
  EXPECT_FALSE(fs::exists(home_ / "silent.wav"));
}

}  // namespace

// Times as the dialogs show them, and a compiled song cut at an entry.
TEST(ExportCoverage, TimesAndTheSongFromAnEntry) {
  const std::pair<double, const char*> times[] = {
      {0, "0:00.0"}, {5.14, "0:05.1"}, {9.66, "0:09.7"}, {59.96, "1:00.0"}, {725.3, "12:05.3"}};
  for (const auto& [seconds, text] : times) EXPECT_EQ(SongTimeText(seconds), text) << seconds;
  EXPECT_EQ(CoverageText({ExportCoverage::kWholeSong, "", 9.7}), "The whole song: 0:09.7");
  EXPECT_EQ(CoverageText({3, "Funk", 5.1}), "From entry 4, Funk, to the end: 0:05.1");

  const Lines song{"//", "60", "a", "", "", "", "", "", "//", "30", "b", "", "", "", "", "", "%%%"};
  EXPECT_EQ(BlocksFrom(song, 0), song);
  EXPECT_EQ(BlocksFrom(song, 1), Lines(song.begin() + 8, song.end()));
  EXPECT_EQ(BlocksFrom(song, 2), Lines{"%%%"});
}
