// Waveforms in the windows, driven as a user drives them: the sample editor
// and the kit maker draw the chosen sound and move a line while it plays;
// the Kit List shows an instrument's sound while the mouse is on its name.
#include <gtest/gtest.h>

#include <QAction>
#include <QEnterEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <algorithm>
#include <memory>

#include "kit/AudioStream.h"
#include "kit/Kit_Listing.h"
#include "kit/MakeKit.h"
#include "kit/WaveCollection.h"
#include "render/Main.h"
#include "support/TestAudio.h"
#include "support/WindowTest.h"
#include "windows/WaveformShapes.h"

namespace {

constexpr int kOutputRate = 48000;

// Plays seconds of output in tenths; after each the stream's refill runs and
// the play line's timer fires, as the event loop would let them.
void PlayFor(CaptureTape& tape, TAudioStream* stream, double seconds) {
  const int tenths = static_cast<int>(seconds * 10 + 0.5);
  for (int i = 0; i < tenths; ++i) {
    const int64_t before = stream ? stream->Position() : 0;
    ASSERT_TRUE(tape.RenderFrames(kOutputRate / 10));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !stream || !stream->Playing() || stream->Position() != before; }, 5000))
        << "no refill came";
  }
  QTest::qWait(2 * TMainForm::kPlayLineMs);
}

// The loud half is drawn tall, the quiet half short, the silent channel flat.
void ExpectLoudThenQuiet(const QImage& image) {
  const std::vector<int> left = LaneHeights(image, 0, 2), right = LaneHeights(image, 1, 2);
  const int lane = image.height() / 2;
  const int width = image.width();
  for (int x = 0; x < width; ++x) {
    SCOPED_TRACE("column " + std::to_string(x) + " of " + std::to_string(width));
    if (x < width / 2 - 1) {
      EXPECT_GE(left[x], lane * 8 / 10);
    } else if (x > width / 2 + 1) {
      EXPECT_GE(left[x], 2);
      EXPECT_LE(left[x], lane * 3 / 10);
    }
    EXPECT_EQ(right[x], 1);
  }
}

class SampleEditorWaveform : public testing::Test {
 protected:
  SampleEditorWaveform() {
    form = std::make_unique<TMainForm>();
    tape = TestAudio::LastTape();
    form->SetCurrentSlot(1);
    ShowAndActivate(*form);
    form->LoadSlotControls(1);
  }
  ~SampleEditorWaveform() override { form.reset(); }

  void Open(const std::filesystem::path& path) {
    home.prompts.paths.push_back(path.string());
    form->FileOpen->trigger();
    ASSERT_TRUE(home.prompts.messages.empty()) << home.prompts.messages[0].text;
  }

  WindowTestHome home;
  std::unique_ptr<TMainForm> form;
  std::shared_ptr<CaptureTape> tape;
};

TEST_F(SampleEditorWaveform, ShowsTheOpenedSoundColumnByColumn) {
  EXPECT_EQ(form->Waveform->Peaks(), nullptr) << "the slot holds Blank.wav";
  Open(WriteLoudThenQuiet(home / "shape.wav", 4410));
  ASSERT_NE(form->Waveform->Peaks(), nullptr);
  EXPECT_EQ(form->Waveform->Peaks()->Frames(), 4410);
  EXPECT_EQ(form->Waveform->Peaks()->Channels(), 2);
  EXPECT_TRUE(form->Waveform->isVisible());
  ExpectLoudThenQuiet(form->Waveform->grab().toImage());

  // Another file in the slot, shorter than the view is wide: its waveform
  // replaces the first, joined from column to column.
  Open(WriteLoudThenQuiet(home / "short.wav", 100));
  EXPECT_EQ(form->Waveform->Peaks()->Frames(), 100);
  const QImage image = form->Waveform->grab().toImage();
  const std::vector<int> left = LaneHeights(image, 0, 2);
  EXPECT_EQ(std::count(left.begin(), left.end(), 0), 0);
  EXPECT_GE(*std::max_element(left.begin(), left.begin() + image.width() / 2),
            image.height() * 4 / 10);
  EXPECT_LE(*std::max_element(left.begin() + image.width() / 2 + 2, left.end()),
            image.height() * 3 / 20);
}

TEST_F(SampleEditorWaveform, ThePlayLineMovesWithThePlayingSoundAndGoesAtItsEnd) {
  ASSERT_TRUE(tape);
  Open(WriteLoudThenQuiet(home / "two-seconds.wav", 2 * 22050));
  EXPECT_EQ(form->Waveform->PlayColumn(), -1);
  QTest::mouseClick(form->PlayButton, Qt::LeftButton);
  TAudioStream* stream = &form->Slots().Stream(1);
  const int width = form->Waveform->width();
  std::vector<int> columns;
  for (double shareHeard : {0.25, 0.5, 0.75}) {
    PlayFor(*tape, stream, 0.5);
    const int column = form->Waveform->PlayColumn();
    EXPECT_NEAR(column, shareHeard * width, width * 0.05) << shareHeard;
    EXPECT_TRUE(HasPlayLineAt(form->Waveform->grab().toImage(), std::max(column, 0)));
    columns.push_back(column);
  }
  EXPECT_LT(columns[0], columns[1]);
  EXPECT_LT(columns[1], columns[2]);
  PlayFor(*tape, stream, 0.8);
  EXPECT_FALSE(form->Slots().Playing(1));
  EXPECT_EQ(form->Waveform->PlayColumn(), -1);
  ExpectLoudThenQuiet(form->Waveform->grab().toImage());
}

class KitMakerWaveform : public testing::Test {
 protected:
  void SetUp() override {
    mainKit.LoadFromFile(home / "power.dxg");
    home.prompts.answers.push_back(PromptAnswer::No);
    makit.KitMakeClick(mainKit, home.path(), home.prompts);
    tape = TestAudio::LastTape();
  }
  void PickFile(int row, const std::filesystem::path& path) {
    home.prompts.paths.push_back(path.string());
    QTest::mouseClick(makit.FileButtons().at(row), Qt::LeftButton);
  }

  WindowTestHome home;
  TWaveCollection mainKit;
  TMakit makit;
  std::shared_ptr<CaptureTape> tape;
};

TEST_F(KitMakerWaveform, EachRowWithASoundShowsItsWaveformAndTheSelectedOneShowsLarge) {
  ASSERT_EQ(makit.RowWaveforms().size(), 16u);
  for (WaveformView* view : makit.RowWaveforms()) EXPECT_EQ(view->Peaks(), nullptr);
  EXPECT_EQ(makit.Waveform->Peaks(), nullptr);

  PickFile(2, WriteLoudThenQuiet(home / "hat.wav", 3000));
  PickFile(5, WriteLoudThenQuiet(home / "tom.wav", 700));
  ASSERT_NE(makit.RowWaveforms()[2]->Peaks(), nullptr);
  EXPECT_EQ(makit.RowWaveforms()[2]->Peaks()->Frames(), 3000);
  EXPECT_EQ(makit.RowWaveforms()[5]->Peaks()->Frames(), 700);
  EXPECT_EQ(makit.RowWaveforms()[3]->Peaks(), nullptr);
  EXPECT_TRUE(makit.RowWaveforms()[2]->isVisible());
  ExpectLoudThenQuiet(makit.RowWaveforms()[2]->grab().toImage());

  // Picking a file selects its row: the large waveform shows that row.
  EXPECT_EQ(makit.Waveform->Peaks(), makit.RowWaveforms()[5]->Peaks());
  QTest::mouseClick(makit.RadioButtons()[2], Qt::LeftButton);
  EXPECT_EQ(makit.Waveform->Peaks(), makit.RowWaveforms()[2]->Peaks());
  ExpectLoudThenQuiet(makit.Waveform->grab().toImage());
  QTest::mouseClick(makit.RadioButtons()[3], Qt::LeftButton);
  EXPECT_EQ(makit.Waveform->Peaks(), nullptr);

  // Removing a row moves the waveforms below it up with their rows.
  QTest::mouseClick(makit.RadioButtons()[2], Qt::LeftButton);
  QTest::mouseClick(makit.RemoveButton, Qt::LeftButton);
  ASSERT_EQ(makit.RowWaveforms().size(), 15u);
  EXPECT_EQ(makit.RowWaveforms()[2]->Peaks(), nullptr);
  ASSERT_NE(makit.RowWaveforms()[4]->Peaks(), nullptr);
  EXPECT_EQ(makit.RowWaveforms()[4]->Peaks()->Frames(), 700);
}

TEST_F(KitMakerWaveform, ATemplatedKitShowsTheCurrentKitsSounds) {
  TMakit templated;
  home.prompts.answers.push_back(PromptAnswer::Yes);
  templated.KitMakeClick(mainKit, home.path(), home.prompts);
  ASSERT_EQ(templated.RowWaveforms().size(), 16u);
  for (int row = 0; row < 16; ++row) {
    SCOPED_TRACE(row);
    const WaveformPeaks* peaks = templated.RowWaveforms()[row]->Peaks();
    ASSERT_NE(peaks, nullptr);
    const Wave::TWave& sound = mainKit[row + 1].Wave();
    EXPECT_EQ(peaks->Frames(), sound.Size() / sound.BlockAlign());
  }
}

TEST_F(KitMakerWaveform, ListeningMovesAPlayLineOverTheHeardRow) {
  ASSERT_TRUE(tape);
  PickFile(1, WriteLoudThenQuiet(home / "long.wav", 2 * 22050));
  QTest::mouseClick(makit.ToolButton1, Qt::LeftButton);
  ASSERT_EQ(home.prompts.Texts().size(), 1u) << home.prompts.Texts().back();
  TAudioStream* stream = makit.Maker().ListeningStream();
  WaveformView* row = makit.RowWaveforms()[1];
  std::vector<int> columns;
  for (double shareHeard : {0.25, 0.5}) {
    PlayFor(*tape, stream, 0.5);
    const int column = makit.Waveform->PlayColumn();
    EXPECT_NEAR(column, shareHeard * makit.Waveform->width(), makit.Waveform->width() * 0.05);
    EXPECT_TRUE(HasPlayLineAt(makit.Waveform->grab().toImage(), std::max(column, 0)));
    EXPECT_NEAR(row->PlayColumn(), shareHeard * row->width(), 3);
    columns.push_back(column);
  }
  EXPECT_LT(columns[0], columns[1]);
  for (int other : {0, 2, 3}) EXPECT_EQ(makit.RowWaveforms()[other]->PlayColumn(), -1);

  // Selecting another row: its large waveform has no line.
  QTest::mouseClick(makit.RadioButtons()[0], Qt::LeftButton);
  PlayFor(*tape, stream, 0.1);
  EXPECT_EQ(makit.Waveform->PlayColumn(), -1);
  EXPECT_GE(row->PlayColumn(), 0) << "row heard " << makit.Maker().ListeningRow() << ", frame "
                                  << makit.Maker().ListeningFrame();
  makit.Maker().ListeningStream()->Stop();
  PlayFor(*tape, stream, 0.1);
  EXPECT_EQ(row->PlayColumn(), -1);
}

class KitListWaveform : public testing::Test {
 protected:
  KitListWaveform() {
    kit.Add().SetName("Blank     [ ]");
    const int frames[] = {500, 2000, 640};
    const char* names[] = {"Kick      [ ]", "Snare     [ ]", "Click     [ ]"};
    for (int i = 0; i < 3; ++i) {
      TWaveCollectionItem& entry = kit.Add();
      entry.SetName(names[i]);
      entry.SetWave(LoudThenQuiet(frames[i], 44100));
    }
    list.PaintLabels(kit);
    ShowAndActivate(list);
  }
  void Hover(QLabel* label, QEvent::Type type) {
    if (type == QEvent::Enter) {
      QEnterEvent enter(QPointF(2, 2), label->mapToGlobal(QPointF(2, 2)),
                        label->mapToGlobal(QPointF(2, 2)));
      QApplication::sendEvent(label, &enter);
    } else {
      QEvent leave(QEvent::Leave);
      QApplication::sendEvent(label, &leave);
    }
  }

  WindowTestHome home;
  TWaveCollection kit;
  TKit_List list;
};

TEST_F(KitListWaveform, TheMouseOnANameShowsThatInstrumentsWaveformBelowIt) {
  ASSERT_EQ(list.Labels().size(), 3u);
  EXPECT_FALSE(list.HoverPopup()->isVisible());
  const struct {
    int label;
    int64_t frames;
  } cases[] = {{1, 2000}, {0, 500}, {2, 640}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    QLabel* label = list.Labels()[c.label];
    Hover(label, QEvent::Enter);
    ASSERT_TRUE(list.HoverPopup()->isVisible());
    ASSERT_NE(list.HoverWaveform()->Peaks(), nullptr);
    EXPECT_EQ(list.HoverWaveform()->Peaks()->Frames(), c.frames);
    EXPECT_EQ(list.HoverPopup()->pos(), label->mapToGlobal(QPoint(0, label->height() + 2)));
    ExpectLoudThenQuiet(list.HoverWaveform()->grab().toImage());
    Hover(label, QEvent::Leave);
    EXPECT_FALSE(list.HoverPopup()->isVisible());
  }
}

TEST_F(KitListWaveform, ANewKitReplacesTheWaveformsAndHidingTheListHidesThePopup) {
  Hover(list.Labels()[0], QEvent::Enter);
  ASSERT_TRUE(list.HoverPopup()->isVisible());
  kit[1].SetWave(LoudThenQuiet(1234, 44100));
  list.PaintLabels(kit);
  EXPECT_FALSE(list.HoverPopup()->isVisible());
  Hover(list.Labels()[0], QEvent::Enter);
  EXPECT_EQ(list.HoverWaveform()->Peaks()->Frames(), 1234);
  list.hide();
  EXPECT_FALSE(list.HoverPopup()->isVisible());
}

}  // namespace
