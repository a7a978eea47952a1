// The playhead in the main window: the grid row and the play list entry
// heard through the captured output, read by the window's own timer.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QToolButton>
#include <algorithm>
#include <cmath>

#include "pattern/Sequencer.h"
#include "pattern/StepGridView.h"
#include "song/Tempo.h"
#include "support/TestAudio.h"
#include "support/WindowTest.h"

namespace {

constexpr int kNone = -1;

class PlayheadWindow : public ::testing::Test {
 protected:
  PlayheadWindow() {
    ShowAndActivate(sequence);
    tape = TestAudio::LastTape();
  }
  // Four steps of 280 ms with a kick on the first: a test has time to look
  // between two steps.
  void MakePattern(const std::string& name) {
    sequence.TimeBar->setCurrentIndex(6);  // "4  | 4"
    sequence.ToolButton13->click();
    sequence.Grid().SetCell(1, 2, "Kick      [ ]");
    sequence.Delay->setSliderPosition(kMaxTempoPosition);  // as a drag does
    sequence.Delay->triggerAction(QSlider::SliderMove);
    QCoreApplication::processEvents();
    sequence.Edit2->setText(QString::fromStdString(name));
  }
  // The output renders a block and the window's timer looks; true when a
  // sound was heard in it.
  bool HearABlock() {
    const size_t from = tape->FramesRecorded() * 2;
    tape->RenderFrames(240);
    const auto samples = tape->Samples();
    const bool heard = std::any_of(samples.begin() + static_cast<std::ptrdiff_t>(from),
                                   samples.end(), [](float s) { return s != 0; });
    QTest::qWait(50);
    return heard;
  }
  void Look() { QTest::qWait(50); }
  int RowShown() const { return sequence.StringGrid1->PlayheadRow(); }
  int EntryShown() const {
    for (int i = 0; i < sequence.SongList->count(); ++i)
      if (sequence.SongList->item(i)->font().bold()) return i;
    return kNone;
  }
  bool RowInView(int row) const {
    const QRect cell = sequence.StringGrid1->CellRect(1, row);
    return sequence.StringGrid1->viewport()->rect().intersects(cell);
  }
  bool PlaceWhen(const std::function<bool()>& placed) { return QTest::qWaitFor(placed, 10000); }

  WindowTestHome home;
  TSequence sequence;
  std::shared_ptr<CaptureTape> tape;
};

}  // namespace

TEST_F(PlayheadWindow, TheGridShowsTheRowHeardAndNotTheOnePlacedAhead) {
  ASSERT_TRUE(tape);
  MakePattern("beat");
  EXPECT_FALSE(HearABlock()) << "silence before playing";
  sequence.ToolButton1->click();
  int before = kNone;
  for (int row : {2, 3, 4}) {
    ASSERT_TRUE(PlaceWhen([&] { return sequence.Engine().PlayRow() > row; })) << row;
    Look();
    EXPECT_EQ(RowShown(), before) << "row " << row << " is placed, not yet heard";
    const bool heard = HearABlock();
    if (row == 2) {
      EXPECT_TRUE(heard) << "the kick starts in the block that shows its row";
    }
    EXPECT_EQ(RowShown(), row);
    EXPECT_TRUE(RowInView(row)) << row;
    before = row;
  }
  QTest::keyClick(&sequence, Qt::Key_F8);
  EXPECT_EQ(RowShown(), kNone) << "stopped";
}

// During the song the play list marks the entry heard; the grid follows
// only while it holds that entry's pattern as saved.
TEST_F(PlayheadWindow, TheSongMarksTheEntryAndTheGridOnlyForItsOwnUneditedPattern) {
  MakePattern("first");
  sequence.ToolButton14->click();  // saved and listed
  MakePattern("second");
  sequence.Grid().SetCell(3, 4, "Snare     [ ]");
  sequence.ToolButton14->click();  // the grid holds "second" as saved
  ASSERT_EQ(sequence.SongList->count(), 2);
  sequence.SongList->setCurrentRow(0);
  QTest::keyClick(&sequence, Qt::Key_F5);
  // Sequence positions: "first" has its rows at 2, 8, 14, 20; "second" at 28, 34, ...
  struct Case {
    int placedAfter;  // the sequence position the player has passed
    int entry, row;
  };
  for (const Case& c : std::vector<Case>{{2, 0, kNone}, {28, 1, 2}, {34, 1, 3}}) {
    ASSERT_TRUE(PlaceWhen([&] { return sequence.Engine().SequencePos() > c.placedAfter; }))
        << c.placedAfter;
    HearABlock();
    EXPECT_EQ(EntryShown(), c.entry) << c.placedAfter;
    EXPECT_EQ(RowShown(), c.row) << c.placedAfter;
  }
  sequence.Grid().SetCell(3, 6, "Snare     [ ]");  // edited: no longer what plays
  Look();
  EXPECT_EQ(EntryShown(), 1);
  EXPECT_EQ(RowShown(), kNone);
  QTest::keyClick(&sequence, Qt::Key_F8);
  EXPECT_EQ(EntryShown(), kNone) << "stopped";
}
