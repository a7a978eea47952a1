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
  Loop->setValue(values.loops);
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
  if (SavePattern(core, CurrentValues())) unsaved_.PatternMet(grid_, CurrentValues());
  RefreshPlayList();
  RefreshLibrary();
  RefreshGrid();
}

void TSequence::LibBinClick() {
  auto core = Core();
  if (DeletePattern(core, MusicLib->currentRow())) {
    RefreshLibrary();
    RefreshPlayList();
  }
}

void TSequence::MusicLibDblClick() {
  AddToPlayList(library_, MusicLib->currentRow(), playList_);
  RefreshPlayList();
}

void TSequence::BitBtn2Click() {
  RemoveSelectedEntry(playList_, library_);
  RefreshPlayList();
  RefreshLibrary();
}

void TSequence::UpDown1Click(Arrow arrow) {
  PressPlayListArrow(upDown_, playList_, arrow);
  RefreshPlayList();
}

void TSequence::SongBinClick() {
  playList_.RemoveChecked();
  RefreshPlayList();
}

void TSequence::BitBtn10Click() {
  ClearPlayList(playList_, [&] { engine_.PlayListCleared(); });
  RefreshPlayList();
}

void TSequence::SongListMouseDown(int row) {
  playList_.Select(row);
  auto core = Core();
  const auto loaded = LoadSelectedEntry(core);
  if (!loaded) return;
  patternName_ = playList_.Name(row);
  ShowPatternValues(loaded->values);
  unsaved_.PatternMet(grid_, CurrentValues());
  ShowUnsavedMarks();
  if (!loaded->slotError.empty()) AppPrompts().ShowError(loaded->slotError);
}

void TSequence::CompilePlayList(std::vector<std::string>& sequence) {
  CompilePlaySequence(homeDir_, playList_, sequence);
  RefreshPlayList();
}

void TSequence::New_SongClick() {
  NewSong(grid_, playList_);
  {
    const QSignalBlocker block(Edit2);
    Edit2->clear();
  }
  unsaved_.SongMet(playList_, std::nullopt);
  RefreshGrid();
  RefreshPlayList();
}

void TSequence::BitBtn8Click() {
  auto core = Core();
  const auto opened = OpenSong(core);
  if (!opened) return;
  ToolButton1->setEnabled(true);
  unsaved_.SongMet(playList_, opened->file);
  RefreshPlayList();
  if (!opened->slotError.empty()) AppPrompts().ShowError(opened->slotError);
}

void TSequence::OpenSongAtStart(const std::string& path) {
  Guarded([&] {
    auto core = Core();
    const SongOpen opened = OpenSongFile(core, path);
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
