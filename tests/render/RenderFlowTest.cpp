// The main window's render flow: buttons, dialog, empty play list, and a
// second request while a render runs.
#include <gtest/gtest.h>

#include <algorithm>

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
  EXPECT_EQ(request.title, "Save As One Big Lovely WAV File");
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
  EXPECT_EQ(prompts_.fileRequests.back().title, "Export stems into folder");
  const std::string stem = Bytes(home_ / "stems" / "01 Kick.wav");
  EXPECT_EQ(stem.substr(22, 2), std::string("\x01\x00", 2));  // mono
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text,
            "1 of 1 stems were written to " + (home_ / "stems").string());

  // The MIDI file leaves the players alone; nothing is written on cancel.
  rec_.calls.clear();
  flow_.ExportMidiClick(host_, prompts_);
  EXPECT_EQ(rec_.calls, std::vector<std::string>{"compile"});
  EXPECT_EQ(prompts_.fileRequests.back().defaultSuffix, "mid");
  prompts_.paths.push_back((home_ / "song.mid").string());
  flow_.ExportMidiClick(host_, prompts_);
  EXPECT_EQ(Bytes(home_ / "song.mid").substr(0, 4), "MThd");
  playListEmpty_ = true;
  flow_.ExportMidiClick(host_, prompts_);
  EXPECT_EQ(rec_.compiles, 3);
  EXPECT_FALSE(flow_.Running());
}

}  // namespace
