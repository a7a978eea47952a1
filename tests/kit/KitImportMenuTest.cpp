// Import › Drum kit (Hydrogen or SFZ)... in the main window: the kit is read,
// saved where the user says, becomes the kit in use with its pans, and plays.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QSlider>
#include <algorithm>
#include <cmath>

#include "kit/DrumkitXml.h"
#include "kit/KitSourceReaders.h"
#include "pattern/Sequencer.h"
#include "support/TestAudio.h"
#include "support/WindowTest.h"
#include "tests/kit/ImportKitFiles.h"

namespace fs = std::filesystem;
using namespace import_kits;

namespace {

class KitImportMenu : public ::testing::Test {
 protected:
  KitImportMenu() {
    SetKitSourceReaders(QtKitSourceReaders());
    WriteMono(kit_ / "boom.flac", Ramp(400, 12000, -50), sound_files::kFlac16);
    WriteMono(kit_ / "tick.wav", Ramp(100, 3000, 7));
    WriteText(kit_ / "drums.sfz",
              "<region> sample=boom.flac key=36 pan=50\n"
              "<region> sample=tick.wav key=42 lovel=1 hivel=127 trigger=attack\n");
    ShowAndActivate(sequence);
  }
  ~KitImportMenu() override { SetKitSourceReaders({}); }

  float PeakHeard() {
    const auto tape = TestAudio::LastTape();
    tape->Clear();
    tape->RenderFrames(tape->settings().rate / 4);
    float peak = 0;
    for (float v : tape->Samples()) peak = std::max(peak, std::fabs(v));
    return peak;
  }

  WindowTestHome home;
  SndFileDecoding decoding_;
  fs::path kit_ = home / "downloads" / "Drums";
  TSequence sequence;
};

}  // namespace

TEST_F(KitImportMenu, AnSfzBecomesTheKitInUseWithItsPansAndPlays) {
  home.prompts.paths = {(kit_ / "drums.sfz").string(), (home / "drums.dxg").string()};
  MenuItem(sequence, "Drum kit (Hydrogen or SFZ)...")->trigger();
  ASSERT_EQ(home.prompts.fileRequests.size(), 2u);
  EXPECT_EQ(home.prompts.fileRequests[1].fileName, "drums.dxg");
  EXPECT_EQ(home.prompts.Texts(),
            std::vector<std::string>{"Imported 2 instruments from drums (1 opcode ignored)."});
  EXPECT_EQ(sequence.Kit().Items.Count(), 3);
  EXPECT_EQ(sequence.Instruments().Item(1), "Kick      [ ]");
  EXPECT_EQ(sequence.Instruments().Item(2), "ClosedHat [ ]");
  EXPECT_EQ(sequence.Kit().Items.Find("Kick      [ ]").Pan, 1000);
  EXPECT_TRUE(fs::exists(home / "drums.dxg"));
  EXPECT_TRUE(fs::exists(home / "drums-Panning.dat"));

  sequence.ComboBox1->setCurrentText("Kick      [ ]");
  EXPECT_EQ(sequence.Panning->value(), 1000);
  PeakHeard();  // whatever came before
  sequence.BitBtn11Click();
  EXPECT_GT(PeakHeard(), 0.2f);
}

TEST_F(KitImportMenu, ABadKitIsToldAndTheKitInUseStays) {
  WriteText(kit_ / "drums.sfz", "<region> sample=../../etc/passwd key=36\n");
  home.prompts.paths = {(kit_ / "drums.sfz").string(), (home / "drums.dxg").string()};
  MenuItem(sequence, "Drum kit (Hydrogen or SFZ)...")->trigger();
  ASSERT_EQ(home.prompts.Texts().size(), 1u);
  EXPECT_NE(home.prompts.Texts()[0].find("drums.sfz:1: '../../etc/passwd' leaves the kit's folder"),
            std::string::npos)
      << home.prompts.Texts()[0];
  EXPECT_EQ(sequence.Instruments().Item(1), "Kick      [ ]");
  EXPECT_EQ(sequence.Kit().Items.Count(), 17);
  EXPECT_FALSE(fs::exists(home / "drums.dxg"));
}

TEST_F(KitImportMenu, TheDrumKitLibraryImportTakesThePansSavedBesideTheKit) {
  home.prompts.paths = {(kit_ / "drums.sfz").string(), (home / "drums.dxg").string()};
  MenuItem(sequence, "Drum kit (Hydrogen or SFZ)...")->trigger();
  home.prompts.paths = {(home / "power.dxg").string()};
  sequence.SoundLibrary1Click();
  // power.dxg has no table beside it: the positions keep their pans.
  EXPECT_EQ(sequence.Kit().Items.Find("Kick      [ ]").Pan, 1000);
  sequence.Kit().Items.Find("Kick      [ ]").Pan = 300;
  sequence.Kit().Items.Find(sequence.Instruments().Item(2)).Pan = 400;
  home.prompts.paths = {(home / "drums.dxg").string()};
  sequence.SoundLibrary1Click();
  EXPECT_EQ(sequence.Kit().Items.Find("Kick      [ ]").Pan, 1000);
  EXPECT_EQ(sequence.Kit().Items.Find("ClosedHat [ ]").Pan, 0);
}
