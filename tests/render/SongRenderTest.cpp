// The song render against a reference computed here from the hit table and
// the timing rule, sample by sample.
#include <gtest/gtest.h>

#include "common/Exception.h"
#include "render/HitTable.h"
#include "render/RenderPrep.h"
#include "render/RenderProgress.h"
#include "render/RenderTestSupport.h"
#include "render/SongRender.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace rendertest;

namespace {

using Row = std::array<std::string, 6>;

void AddEntry(Lines& seq, int tempo, const std::vector<Row>& rows) {
  seq.push_back("//");
  seq.push_back(std::to_string(tempo));
  for (const Row& row : rows) seq.insert(seq.end(), row.begin(), row.end());
}

class CountingProgress : public RenderProgress {
 public:
  int cancelAfter = -1;  // polls before Cancelled answers true
  int polls = 0;
  int begun = 0, ended = 0;
  std::vector<std::string> adding;
  void Begin(std::int64_t) override { ++begun; }
  void Adding(const std::string& text) override { adding.push_back(text); }
  bool Cancelled() override { return cancelAfter >= 0 && polls++ >= cancelAfter; }
  void End() override { ++ended; }
};

class SongRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(home_ / "temp");
    kick_ = Tone(3000, 2, 44100, 37, 30000);
    snare_ = Tone(1500, 1, 22050, 11, 26000);
    hat_ = Tone(700, 1, 44100, 5, 9000);
    MakeKit(kit_, {{"Kick      [ ]", kick_}, {"Snare     [ ]", snare_}, {"Hat", hat_}});
    kit_[1].Pan = -600;  // -0.3
    kit_[2].Pan = 1500;  // 0.75
    chooser_.Rebuild(kit_);
    blank_ = Tone(10, 1, 22050, 3, 0);
    WriteWav(home_ / "Blank.wav", blank_);
    sample_ = Tone(900, 1, 11025, 7, 20000);
    WriteWav(home_ / "clap.wav", sample_);
    for (auto& slot : slots_) slot.frequency = 22050;
    slots_[0] = {(home_ / "clap.wav").string(), 16000, -4000, -1000};
    slots_[2] = {(home_ / "clap.wav").string(), 0, 1200, 0};
  }

  RenderInput Input() { return RenderInput{home_.path(), kit_, chooser_, slots_}; }

  RenderResult Render(const Lines& seq, const fs::path& dest, RenderProgress& progress,
                      const std::function<void(const std::string&)>& fallback = {}) {
    const auto work = HomeWorkFolder(home_.path());
    DeleteRenderFiles(work, chooser_.LastKitIndex());
    ExportKit(work, kit_);
    ExportSlots(home_.path(), work, slots_);
    return AssembleSong(Input(), seq, UsedInstruments(seq, chooser_), dest, progress, fallback);
  }

  // The reference hit of a chooser index at a level.
  RefHit Ref(int index, int level, double time) {
    switch (index) {
      case 1:
        return {&kick_, 44100, (4000 - 500 * level) * 0.00025, -0.3, time};
      case 2:
        return {&snare_, 22050, (4000 - 500 * level) * 0.00025, 0.75, time};
      case 3:
        return {&hat_, 44100, 1.0, 0, time};
      case 4:
        return {&sample_, 16000, 3000 * 0.00025, -2, time};  // Sample1
      case 6:
        return {&sample_, 11025, 1.0, 0.6, time};  // Sample3, own rate
    }
    ADD_FAILURE() << "no reference for " << index;
    return {};
  }

  TempDir home_;
  TWaveCollection kit_;
  InstrumentTable chooser_;
  SlotSounds slots_;
  Sound kick_, snare_, hat_, blank_, sample_;
};

// Two entries at different tempos, volume digits, a short name without
// digit, slots at other rates and pans, overlapping hits that clamp.
TEST_F(SongRenderTest, SongEqualsTheReferenceSampleForSample) {
  Lines seq;
  AddEntry(seq, 60,
           {{"Kick      [ ]", "Snare     [3]", "Sample1", "", "", "Hat"},
            {"kick      [9]", "", "", "Hat", "", ""},
            {"Kick      [8]", "Snare     [ ]", "Sample3", "", "", ""}});
  AddEntry(seq, 25,
           {{"Sample1", "Kick      [1]", "", "", "Snare     [5]", ""},
            {"Kick      [ ]", "Kick      [ ]", "Hat", "", "", "Sample3"}});
  seq.push_back("%%%");

  // Rows at the running sum of step lengths: 0.12 s, then 0.05 s each.
  std::vector<double> rowTime{0};
  for (double step : {0.12, 0.12, 0.05, 0.05}) rowTime.push_back(rowTime.back() + step);
  ReferenceSong ref;
  // Instruments in chooser order, each over the whole song.
  for (auto [row, level] :
       std::vector<std::pair<int, int>>{{0, 1}, {1, 9}, {2, 8}, {3, 1}, {4, 1}, {4, 1}})
    ref.Add(Ref(1, level, rowTime[row]));
  for (auto [row, level] : std::vector<std::pair<int, int>>{{0, 3}, {2, 1}, {3, 5}})
    ref.Add(Ref(2, level, rowTime[row]));
  for (int row : {0, 1, 4}) ref.Add(Ref(3, 0, rowTime[row]));
  for (int row : {0, 3}) ref.Add(Ref(4, 0, rowTime[row]));
  for (int row : {2, 4}) ref.Add(Ref(6, 0, rowTime[row]));

  CountingProgress progress;
  const auto result = Render(seq, home_ / "song.wav", progress);
  EXPECT_EQ(result.outcome, RenderOutcome::Saved);
  const std::string got = Bytes(home_ / "song.wav");
  const std::string want = ref.FileBytes();
  ASSERT_EQ(got.size(), want.size());
  EXPECT_TRUE(got == want) << "first difference at byte "
                           << std::mismatch(got.begin(), got.end(), want.begin()).first -
                                  got.begin();
  EXPECT_EQ(progress.begun, 1);
  EXPECT_EQ(progress.ended, 1);
  EXPECT_EQ(progress.adding, (std::vector<std::string>{"Kick      [ ]", "Snare     [ ]", "Hat",
                                                       "Sample 1", "Sample 3"}));
  // Built beside it and moved into place.
  EXPECT_FALSE(fs::exists(home_ / "song.wav.part"));
}

// A song longer than one window, with a silent stretch longer than a window
// between its hits: built window by window it is the same song.
TEST_F(SongRenderTest, LongSongWithAGapEqualsTheReference) {
  Lines seq;
  std::vector<Row> rows(130);
  for (int r = 0; r < 130; ++r)
    if (r < 20 || r > 110)
      rows[r] = {"Kick      [2]", r % 3 ? "" : "Snare     [ ]", "", "", "", r % 5 ? "" : "Sample1"};
  AddEntry(seq, 140, rows);
  seq.push_back("%%%");
  ReferenceSong ref;
  std::vector<double> times{0};
  for (int r = 1; r < 130; ++r) times.push_back(times.back() + 0.28);
  for (int inst : {1, 2, 4})
    for (int r = 0; r < 130; ++r) {
      if (!(r < 20 || r > 110)) continue;
      if (inst == 2 && r % 3) continue;
      if (inst == 4 && r % 5) continue;
      ref.Add(Ref(inst, inst == 1 ? 2 : 1, times[r]));
    }
  CountingProgress progress;
  Render(seq, home_ / "long.wav", progress);
  EXPECT_GT(ref.Samples().size() / 2, 3u * 500000);
  EXPECT_TRUE(Bytes(home_ / "long.wav") == ref.FileBytes());
}

TEST_F(SongRenderTest, TimingAndUsedInstrumentsFollowTheSequence) {
  Lines seq;
  std::vector<Row> rows(16, Row{"", "", "", "", "", ""});
  rows[0][0] = "Snare     [4]";
  rows[15][5] = "Kick      [ ]";
  AddEntry(seq, 60, rows);
  AddEntry(seq, 60, rows);
  seq.push_back("%%%");
  EXPECT_EQ(UsedInstruments(seq, chooser_), (std::vector<int>{2, 1}));
  const auto kicks = FindHits(seq, chooser_, 1);
  ASSERT_EQ(kicks.size(), 2u);
  double t = 0;
  for (int r = 0; r < 31; ++r) t += 0.12;
  EXPECT_EQ(kicks[1].time, t);  // the running sum, not 31 × 0.12
  EXPECT_EQ(FindHits(seq, chooser_, 2)[0].level, 4);
  // Digit 8 adds silence, 9 the sound inverted at an eighth.
  EXPECT_EQ(KitHitVolume(8), 0);
  EXPECT_EQ(KitHitVolume(9), -0.125);
  EXPECT_EQ(KitHitVolume(0), 1);
  EXPECT_EQ(SlotHitVolume(-4000), 0);
}

TEST_F(SongRenderTest, AKitEntryWithoutSoundRepeatsTheSoundBeforeIt) {
  kit_[3].SetWave(Wave::TWave());  // "Hat" exports an empty file
  Lines seq;
  AddEntry(seq, 60, {{"Snare     [ ]", "", "", "", "", ""}, {"Hat", "", "", "", "", ""}});
  seq.push_back("%%%");
  ReferenceSong ref;
  ref.Add(Ref(2, 1, 0));
  RefHit again = Ref(2, 0, 0.12);  // the snare's wave, at the hat's volume and pan
  again.pan = 0;
  ref.Add(again);
  CountingProgress progress;
  Render(seq, home_ / "s.wav", progress);
  EXPECT_TRUE(Bytes(home_ / "s.wav") == ref.FileBytes());

  // With nothing before it, the empty sound stops the render.
  Lines alone;
  AddEntry(alone, 60, {{"Hat", "", "", "", "", ""}});
  alone.push_back("%%%");
  EXPECT_THROW(Render(alone, home_ / "t.wav", progress), Exception);
  EXPECT_FALSE(fs::exists(home_ / "t.wav"));
}

// Stop during the assembly: the instruments before the current one whole,
// the current one's hits before the stop; a good file there is replaced
// only by that complete partial song.
TEST_F(SongRenderTest, CancelSavesThePartialSong) {
  Lines seq;
  AddEntry(seq, 60,
           {{"Kick      [ ]", "Snare     [ ]", "", "", "", ""},
            {"Kick      [ ]", "Snare     [2]", "", "", "", ""},
            {"", "Snare     [ ]", "", "", "", ""}});
  seq.push_back("%%%");
  WriteFileAtomically(home_ / "out.wav", "an older song");
  CountingProgress progress;
  progress.cancelAfter = 3;  // two kicks and the first snare are mixed
  const auto result = Render(seq, home_ / "out.wav", progress);
  EXPECT_EQ(result.outcome, RenderOutcome::Cancelled);
  ReferenceSong ref;
  ref.Add(Ref(1, 1, 0));
  ref.Add(Ref(1, 1, 0.12));
  ref.Add(Ref(2, 1, 0));
  EXPECT_TRUE(Bytes(home_ / "out.wav") == ref.FileBytes());
  EXPECT_EQ(progress.ended, 1);
  for (const auto& entry : fs::directory_iterator(home_.path()))
    EXPECT_NE(entry.path().extension(), ".part");
}

TEST_F(SongRenderTest, FailedSaveGoesToTempWavWithTheMessage) {
  Lines seq;
  AddEntry(seq, 60, {{"Kick      [ ]", "", "", "", "", ""}});
  seq.push_back("%%%");
  std::vector<std::string> told;
  CountingProgress progress;
  const fs::path dest = home_ / "missing" / "song.wav";
  const auto result =
      Render(seq, dest, progress, [&](const std::string& text) { told.push_back(text); });
  EXPECT_EQ(result.outcome, RenderOutcome::SavedToFallback);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0],
            "Unfortunatly it was not possible to save in the location you specified as it is "
            "currently in use. So it will be save at :" +
                (home_ / "temp.wav").string());
  ReferenceSong ref;
  ref.Add(Ref(1, 1, 0));
  EXPECT_TRUE(Bytes(home_ / "temp.wav") == ref.FileBytes());
  EXPECT_FALSE(fs::exists(dest));
  // Without a fallback the error reaches the caller.
  EXPECT_THROW(Render(seq, dest, progress), EFCreateError);

  // A destination that can be written beside but not replaced: a folder.
  fs::create_directories(home_ / "taken.wav" / "inside");
  fs::remove(home_ / "temp.wav");
  told.clear();
  EXPECT_EQ(Render(seq, home_ / "taken.wav", progress,
                   [&](const std::string& text) { told.push_back(text); })
                .outcome,
            RenderOutcome::SavedToFallback);
  EXPECT_EQ(told.size(), 1u);
  EXPECT_TRUE(Bytes(home_ / "temp.wav") == ref.FileBytes());
  EXPECT_TRUE(fs::is_directory(home_ / "taken.wav" / "inside"));
  EXPECT_FALSE(fs::exists(home_ / "taken.wav.part"));
}

// The fallback is written as any output is: an old temp.wav stays until a
// new one is complete, and stays when the new one can't be made.
TEST_F(SongRenderTest, AFailedFallbackKeepsTheOldTempWav) {
  Lines seq;
  AddEntry(seq, 60, {{"Kick      [ ]", "", "", "", "", ""}});
  seq.push_back("%%%");
  WriteFileAtomically(home_ / "temp.wav", "the last fallback render");
  fs::create_directories(home_ / "temp.wav.part" / "blocked");
  CountingProgress progress;
  std::vector<std::string> told;
  EXPECT_THROW(Render(seq, home_ / "missing" / "song.wav", progress,
                      [&](const std::string& text) { told.push_back(text); }),
               Exception);
  EXPECT_EQ(told.size(), 1u);
  EXPECT_EQ(Bytes(home_ / "temp.wav"), "the last fallback render");
}

// An error in the assembly leaves an existing file as it was.
TEST_F(SongRenderTest, ErrorsLeaveTheDestinationAlone) {
  WriteFileAtomically(home_ / "keep.wav", "a good song");
  CountingProgress progress;
  for (const std::string bad : {"Kick      [", "Kick      [x]"}) {
    Lines seq;
    AddEntry(seq, 60, {{"Kick      [ ]", bad, "", "", "", ""}});
    seq.push_back("%%%");
    EXPECT_THROW(Render(seq, home_ / "keep.wav", progress), EConvertError) << bad;
  }
  // A kit without its blank entry fails at the first tempo line.
  kit_[0].SetName("Rest");
  Lines seq;
  AddEntry(seq, 60, {{"Kick      [ ]", "", "", "", "", ""}});
  seq.push_back("%%%");
  try {
    Render(seq, home_ / "keep.wav", progress);
    ADD_FAILURE() << "rendered without a blank entry";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Wave '' not found");
  }
  EXPECT_EQ(Bytes(home_ / "keep.wav"), "a good song");
}

}  // namespace
