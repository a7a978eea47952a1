// The render window driven as the main window drives it: a play button that
// the render disables and Stop enables, the progress bar, the save dialog.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "common/Files.h"
#include "kit/InstrumentTable.h"
#include "kit/WaveCollection.h"
#include "render/HitTable.h"
#include "render/RenderFlow.h"
#include "render/RenderProgress.h"
#include "render/SongRender.h"
#include "render/Unit1.h"
#include "support/WindowTest.h"

namespace fs = std::filesystem;

namespace {

Lines Song(bool withSnare) {
  Lines seq{"//", "60"};
  for (int row = 0; row < 8; ++row) {
    seq.push_back("Kick      [ ]");
    seq.push_back(withSnare && row % 2 ? "Snare     [ ]" : "");
    for (int c = 0; c < 4; ++c) seq.push_back("");
  }
  seq.push_back("%%%");
  return seq;
}

class RenderWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kit_.LoadFromFile(home_ / "power.dxg");
    chooser_.Rebuild(kit_);
    playButton_.setEnabled(true);
    progressBar_.hide();
    QObject::connect(&stopButton_, &QPushButton::clicked, [this] { playButton_.setEnabled(true); });
    form_.SetProgressBar(&progressBar_);
    form_.SetStopPressed([this] { return playButton_.isEnabled(); });
    form_.SetEventInterval(std::chrono::milliseconds(0));
    host_.home = home_.path();
    host_.kit = &kit_;
    host_.chooser = &chooser_;
    host_.slots = [] { return SlotSounds{}; };
    host_.playListEmpty = [] { return false; };
    host_.compile = [this] { return Song(withSnare_); };
    host_.setPlayButtonsEnabled = [this](bool on) { playButton_.setEnabled(on); };
    host_.clearPlaySequence = [] {};
  }

  // Runs check at every event pass of the render.
  void DuringRender(std::function<void()> check) {
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, check);
    timer_.start();
  }

  WindowTestHome home_;
  TWaveCollection kit_;
  InstrumentTable chooser_;
  QToolButton playButton_;
  QPushButton stopButton_{"Stop"};
  QProgressBar progressBar_;
  TForm1 form_;
  RenderHost host_;
  QTimer timer_;
  bool withSnare_ = true;
};

TEST_F(RenderWindowTest, StopLeavesTheSongUpToTheStop) {
  WriteFileAtomically(home_ / "song.wav", "an older song");
  home_.prompts.paths.push_back((home_ / "song.wav").string());
  bool shown = false;
  DuringRender([&] {
    shown = shown || (form_.isVisible() && progressBar_.isVisible() && !playButton_.isEnabled());
    // The kicks are all in; Stop as the snares begin.
    if (form_.Label2->text() == "Snare     [ ]" && !playButton_.isEnabled())
      QTest::mouseClick(&stopButton_, Qt::LeftButton);
  });
  form_.Render(host_);
  timer_.stop();
  EXPECT_TRUE(shown);
  EXPECT_TRUE(home_.prompts.messages.empty()) << home_.prompts.Texts()[0];
  EXPECT_FALSE(form_.isVisible());
  EXPECT_FALSE(progressBar_.isVisible());
  EXPECT_TRUE(playButton_.isEnabled());

  // What was saved is the song of the kicks alone.
  RenderProgress quiet;
  const Lines kicks = Song(false);
  const RenderInput input{home_.path(), kit_, chooser_, SlotSounds{}};
  AssembleSong(input, kicks, UsedInstruments(kicks, chooser_), home_ / "kicks.wav", quiet);
  EXPECT_TRUE(ReadFileBytes(home_ / "song.wav") == ReadFileBytes(home_ / "kicks.wav"));
  EXPECT_GT(fs::file_size(home_ / "song.wav"), 44u);
}

TEST_F(RenderWindowTest, AFailedSaveGoesToTempWav) {
  // A folder is made for the render; one beneath a file can't be.
  WriteFileAtomically(home_ / "a file", "x");
  home_.prompts.paths.push_back((home_ / "a file" / "song.wav").string());
  form_.Render(host_);
  ASSERT_EQ(home_.prompts.messages.size(), 2u);
  EXPECT_EQ(home_.prompts.messages[0].text,
            "Unfortunatly it was not possible to save in the location you specified as it is "
            "currently in use. So it will be save at :" +
                DisplayPath(home_ / "temp.wav"));
  EXPECT_EQ(ReadFileBytes(home_ / "temp.wav").substr(0, 4), "RIFF");
  EXPECT_GT(fs::file_size(home_ / "temp.wav"), 44u);
  EXPECT_EQ(home_.prompts.messages[1].text.rfind(
                "Rendered to " + DisplayPath(home_ / "temp.wav") + "\nThe whole song: ", 0),
            0u)
      << home_.prompts.messages[1].text;
  EXPECT_EQ(ReadFileBytes(home_ / "a file"), "x");
  EXPECT_TRUE(playButton_.isEnabled());
}

TEST_F(RenderWindowTest, RenderRequestsDuringARenderAreIgnored) {
  home_.prompts.paths.push_back((home_ / "first.wav").string());
  home_.prompts.paths.push_back((home_ / "second.wav").string());
  int tries = 0;
  DuringRender([&] {
    if (form_.Rendering() && tries++ == 0) form_.Render(host_);
  });
  form_.Render(host_);
  timer_.stop();
  EXPECT_EQ(tries > 0, true);
  EXPECT_EQ(home_.prompts.fileRequests.size(), 1u);
  EXPECT_TRUE(fs::exists(home_ / "first.wav"));
  EXPECT_FALSE(fs::exists(home_ / "second.wav"));
  EXPECT_FALSE(form_.Rendering());
}

TEST_F(RenderWindowTest, TheWindowAsDesigned) {
  EXPECT_EQ(form_.windowTitle(), "Render");
  EXPECT_EQ(form_.size(), QSize(313, 115));
  EXPECT_EQ(form_.Label1->text(), "Now Adding:");
  EXPECT_TRUE(form_.Label1->font().bold());
  EXPECT_TRUE(form_.Label2->font().italic());
  EXPECT_FALSE(form_.windowFlags() & Qt::WindowCloseButtonHint);
}

}  // namespace
