// TSequence: pattern files, the pattern library, the play list and songs.
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QToolButton>

#include "common/QtPrompts.h"
#include "pattern/PatternFile.h"
#include "pattern/PatternStore.h"
#include "pattern/Sequencer.h"
#include "pattern/StepGridView.h"
#include "song/Compile.h"
#include "song/EntryLoad.h"
#include "song/PlayListEdit.h"
#include "song/SongMenu.h"

namespace {
QString Latin1(const std::string& s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

void TSequence::SetSampleEditor(SampleEditor* editor) {
  slotAccess_ = editor ? std::make_unique<EditorSlotAccess>(*editor) : nullptr;
}

SequencerCore TSequence::Core() {
  // Before the sample editor exists the slots are empty and stay so.
  static EmptySlotAccess noSlots;
  SlotAccess& slots = slotAccess_ ? static_cast<SlotAccess&>(*slotAccess_) : noSlots;
  return SequencerCore{homeDir_, grid_, library_, playList_, slots, AppPrompts()};
}

void TSequence::RefreshPlayList() {
  const QSignalBlocker block(SongList);
  SongList->clear();
  for (const auto& entry : playList_.Entries()) {
    auto* item = new QListWidgetItem(Latin1(entry.name), SongList);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(entry.checked ? Qt::Checked : Qt::Unchecked);
  }
  SongList->setCurrentRow(playList_.Selected());
  ShowUnsavedMarks();
}

void TSequence::ShowPatternValues(const PatternValues& values) {
  SetDelayPosition(values.tempoPosition);
  ShowLoops(values.loops);
  engine_.FollowDelay();
  {
    const QSignalBlocker block(Edit2);
    Edit2->setText(Latin1(grid_.Cell(0, 0)));
  }
  RefreshGrid();
}

void TSequence::BitBtn6Click() {
  patternName_ = grid_.Cell(0, 0);
  auto core = Core();
  const PlayListState before = playList_.State();
  if (SavePattern(core, CurrentValues())) unsaved_.PatternMet(grid_, CurrentValues());
  // A new pattern joins the play list: that step can be taken back.
  PushPlayListEdit("Add " + Latin1(patternName_) + " to the play list", before);
  RefreshPlayList();
  RefreshLibrary();
  RefreshGrid();
}

void TSequence::LibBinClick() {
  auto core = Core();
  if (DeletePattern(core, MusicLib->currentRow())) {
    // The file is gone: what the list's history holds can't be taken back to it.
    ClearPlayListUndo();
    RefreshLibrary();
    RefreshPlayList();
  }
}

void TSequence::MusicLibDblClick() {
  const PlayListState before = playList_.State();
  const int row = MusicLib->currentRow();
  AddToPlayList(library_, row, playList_);
  if (row >= 0 && row < static_cast<int>(library_.Entries().size()))
    PushPlayListEdit("Add " + Latin1(library_.Entries()[row]) + " to the play list", before);
  RefreshPlayList();
}

void TSequence::BitBtn2Click() {
  const PlayListState before = playList_.State();
  const QString name =
      playList_.Selected() >= 0 ? Latin1(playList_.Name(playList_.Selected())) : "";
  RemoveSelectedEntry(playList_, library_);
  PushPlayListEdit("Remove " + name + " from the play list", before);
  RefreshPlayList();
  RefreshLibrary();
}

void TSequence::UpDown1Click(Arrow arrow) {
  const PlayListState before = playList_.State();
  PressPlayListArrow(upDown_, playList_, arrow);
  const int moved = playList_.Selected();
  if (moved >= 0)
    PushPlayListEdit(QString("Move %1 %2")
                         .arg(Latin1(playList_.Name(moved)), arrow == Arrow::Up ? "up" : "down"),
                     before);
  RefreshPlayList();
}

void TSequence::SongBinClick() {
  const PlayListState before = playList_.State();
  playList_.RemoveChecked();
  PushPlayListEdit("Remove ticked entries", before);
  RefreshPlayList();
}

void TSequence::BitBtn10Click() {
  const PlayListState before = playList_.State();
  ClearPlayList(playList_, [&] { engine_.PlayListCleared(); });
  PushPlayListEdit("Clear play list", before);
  RefreshPlayList();
}

void TSequence::SongListMouseDown(int row) {
  playList_.Select(row);
  auto core = Core();
  const auto loaded = LoadSelectedEntry(core);
  if (!loaded) return;
  patternName_ = playList_.Name(row);
  ShowPatternValues(loaded->values);
  // Another pattern in the grid: the grid's history was of the one before.
  ClearGridUndo();
  unsaved_.PatternMet(grid_, CurrentValues());
  ShowUnsavedMarks();
  if (!loaded->slotError.empty()) AppPrompts().ShowError(loaded->slotError);
}

void TSequence::CompilePlayList(std::vector<std::string>& sequence) {
  CompilePlaySequence(homeDir_, playList_, sequence);
  RefreshPlayList();
}

void TSequence::New_SongClick() {
  const PlayListState before = playList_.State();
  GridEdit cleared = grid_.Record([&] { NewSong(grid_, playList_); });
  {
    const QSignalBlocker block(Edit2);
    Edit2->clear();
  }
  // A new song replaces both histories; it can itself be taken back.
  ClearGridUndo();
  ClearPlayListUndo();
  PushPlayListEdit("New Song", before, std::move(cleared));
  unsaved_.SongMet(playList_, std::nullopt);
  RefreshGrid();
  RefreshPlayList();
}

void TSequence::BitBtn8Click() {
  auto core = Core();
  const auto opened = OpenSong(core);
  if (!opened) return;
  ToolButton1->setEnabled(true);
  ClearPlayListUndo();
  unsaved_.SongMet(playList_, opened->file);
  RefreshPlayList();
  if (!opened->slotError.empty()) AppPrompts().ShowError(opened->slotError);
}

void TSequence::OpenSongAtStart(const std::string& path) {
  Guarded([&] {
    auto core = Core();
    const SongOpen opened = OpenSongFile(core, path);
    ClearPlayListUndo();
    unsaved_.SongMet(playList_, opened.file);
    RefreshPlayList();
    if (!opened.slotError.empty()) AppPrompts().ShowError(opened.slotError);
  });
}

void TSequence::BitBtn9Click() {
  auto core = Core();
  const auto saved = SaveSong(core);
  if (!saved) return;
  ToolButton1->setEnabled(true);
  unsaved_.SongMet(playList_, *saved);
  ShowUnsavedMarks();
}
