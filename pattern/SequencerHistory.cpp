// TSequence: the one history of the edited song, what a step does to the
// window, the song shown whole, and the one question before work goes.
#include <QAction>
#include <QMenu>
#include <QUndoStack>

#include "common/QtPrompts.h"
#include "kit/Kit_Listing.h"
#include "pattern/Icons.h"
#include "pattern/InstrumentPanel.h"
#include "pattern/PanelParts.h"
#include "pattern/PatternPanel.h"
#include "pattern/Sequencer.h"
#include "song/SongMenu.h"
#include "song/SongPanel.h"

void TSequence::BuildHistory() {
  history_ = new QUndoStack(this);
  history_->setUndoLimit(kHistoryLimit);
  UndoAction = history_->createUndoAction(this, "&Undo");
  UndoAction->setShortcut(QKeySequence::Undo);
  UndoAction->setIcon(MakeToolIcon(ToolIcon::Undo));
  RedoAction = history_->createRedoAction(this, "&Redo");
  RedoAction->setShortcuts({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")});
  RedoAction->setIcon(MakeToolIcon(ToolIcon::Redo));
  QAction* first = editMenu_->actions().value(0);
  editMenu_->insertAction(first, UndoAction);
  editMenu_->insertAction(first, RedoAction);
  editMenu_->insertSeparator(first);
}

void TSequence::Push(const QString& text, SongChange change, MergeKey key) {
  if (!change.Empty())
    history_->push(
        new SongCommand(text, std::move(change), key,
                        [this](const SongChange& c, bool undo) { ApplyChange(c, undo); }));
  ShowSong();
}

void TSequence::ApplyChange(const SongChange& change, bool undo) {
  song_.Apply(change, undo);
  if (change.tempo) engine_.FollowDelay();
  if (change.pan) {
    // The step shows the instrument whose pan it changes.
    const int index = DXWaveList1.Items.IndexOfName(change.pan->entry);
    if (index >= 0) {
      DXWaveList1.Items[index].Pan = undo ? change.pan->before : change.pan->after;
      ChooseInstrument(change.pan->entry);
      if (const int chosen = instruments_.IndexOf(change.pan->entry); chosen >= 0)
        ShowPanOf(chosen);
    }
  }
  ShowSong();
}

// The title names the song's file, starred while the song differs from it.
void TSequence::ShowSong() {
  patternPanel_->Show();
  instrumentPanel_->ShowTempo(song_.Values().tempoPosition);
  songPanel_->ShowLibrary();
  songPanel_->ShowPlayList();
  ShowGroove();
  if (kitList_) kitList_->ShowMix(song_.Settings().mix);
  setWindowTitle(Latin1(SongTitle(song_.SongFile())) + "[*]");
  setWindowModified(song_.SongUnsaved());
  if (OnUnsavedShown) OnUnsavedShown(WorkUnsaved());
}

bool TSequence::ReadyToReplace(Replacing what) {
  SaveSteps save;
  save.pattern = [this] { return Guarded([&] { BitBtn6Click(); }) && !song_.PatternUnsaved(); };
  save.song = [this] { return Guarded([&] { BitBtn9Click(); }) && !song_.SongUnsaved(); };
  return ::ReadyToReplace(song_, what, AppPrompts(), save);
}
