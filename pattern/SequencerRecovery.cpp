// TSequence: copies of unsaved work that survive a crash, and the ways out
// that ask nothing.
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "common/Guard.h"
#include "common/QtPrompts.h"
#include "pattern/PatternLoad.h"
#include "pattern/Sequencer.h"
#include "song/SongMenu.h"

void TSequence::KeepRecovery() {
  if (recovery_) return;
  RecoveryFiles found(homeDir_);
  if (!OfferRecoveredWork(found, AppPrompts(), [this] { RestoreRecoveredWork(); })) return;
  // A copy that can't be written is told once, on the terminal: never a
  // message box every few seconds.
  recovery_ = std::make_unique<RecoveryWriter>(homeDir_, [this](const std::string& message) {
    if (recoveryTroubleTold_.exchange(true)) return;
    std::fprintf(stderr, "korvanto: the recovery files can't be kept: %s\n", message.c_str());
  });
  if (!recoveryTimer_) {
    recoveryTimer_ = new QTimer(this);
    connect(recoveryTimer_, &QTimer::timeout, this, [this] { KeepRecoveryFiles(); });
  }
  recoveryTimer_->start(kRecoveryInterval);
}

// Each part on its own: a broken copy of one is told, the other still comes back.
void TSequence::RestoreRecoveredWork() {
  const RecoveryFiles files(homeDir_);
  Guarded([&] {
    if (!std::filesystem::exists(files.PatternFile())) return;
    auto core = Core();
    const PatternLoad loaded = LoadPatternIntoGrid(files.PatternFile(), grid_, core.slots);
    patternName_ = grid_.Cell(0, 0);
    ShowPatternValues(loaded.values);
    ClearGridUndo();
    unsaved_.PatternRecovered();
    if (!loaded.slotError.empty()) AppPrompts().ShowError(loaded.slotError);
  });
  Guarded([&] {
    if (!std::filesystem::exists(files.SongFile())) return;
    auto core = Core();
    const SongOpen opened = OpenSongFile(core, files.SongFile());
    ClearPlayListUndo();
    unsaved_.SongRecovered(files.RecoveredSongFile());
    RefreshPlayList();
    if (!opened.slotError.empty()) AppPrompts().ShowError(opened.slotError);
  });
  ShowUnsavedMarks();
}

// Builds the copies here, in microseconds; the writer's thread writes them.
void TSequence::KeepRecoveryFiles() {
  if (!recovery_) return;
  auto core = Core();
  recovery_->Keep(UnsavedWork(unsaved_, grid_, CurrentValues(), playList_, core.slots));
}

void TSequence::FlushRecoveryFiles() {
  KeepRecoveryFiles();
  if (recovery_) recovery_->Flush();
}

void TSequence::CloseQuietly() {
  closingQuietly_ = true;
  FlushRecoveryFiles();
  close();
}

void TSequence::StopForExit() {
  engine_.EndTimers();
  KeepRecoveryFiles();
  if (recovery_) recovery_->End();
}
