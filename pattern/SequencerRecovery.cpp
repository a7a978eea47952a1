// TSequence: copies of unsaved work that survive a crash, and the ways out
// that ask nothing.
#include <QTimer>
#include <QUndoStack>
#include <cstdio>
#include <filesystem>

#include "common/Guard.h"
#include "common/QtPrompts.h"
#include "pattern/Sequencer.h"

void TSequence::KeepRecovery() {
  if (recovery_) return;
  RecoveryFiles found(HomeDir());
  if (!OfferRecoveredWork(found, AppPrompts(), [this] { RestoreRecoveredWork(); })) return;
  // A copy that can't be written is told once, on the terminal: never a
  // message box every few seconds.
  recovery_ = std::make_unique<RecoveryWriter>(HomeDir(), [this](const std::string& message) {
    if (recoveryTroubleTold_.exchange(true)) return;
    std::fprintf(stderr, "korvanto: the recovery files can't be kept: %s\n", message.c_str());
  });
  if (!recoveryTimer_) {
    recoveryTimer_ = new QTimer(this);
    connect(recoveryTimer_, &QTimer::timeout, this, [this] { KeepRecoveryFiles(); });
  }
  recoveryTimer_->start(kRecoveryInterval);
}

// Each part on its own: a broken copy of one is told, the other still
// comes back. Restoring replaces what the window holds: the one question first.
void TSequence::RestoreRecoveredWork() {
  const RecoveryFiles files(HomeDir());
  if (!ReadyToReplace(Replacing::Both)) return;
  Guarded([&] {
    if (!std::filesystem::exists(files.PatternFile())) return;
    std::string slotError;
    song_.LoadPattern(files.PatternFile(), slotError);
    song_.PatternRecovered();
    engine_.FollowDelay();
    if (!slotError.empty()) AppPrompts().ShowError(slotError);
  });
  Guarded([&] {
    if (!std::filesystem::exists(files.SongFile())) return;
    std::string slotError;
    song_.OpenSong(files.SongFile(), slotError);
    song_.SongRecovered(files.RecoveredSongFile());
    if (!slotError.empty()) AppPrompts().ShowError(slotError);
  });
  history_->clear();
  ShowSong();
}

// Builds the copies here, in microseconds; the writer's thread writes them.
void TSequence::KeepRecoveryFiles() {
  if (recovery_) recovery_->Keep(song_.UnsavedWork());
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
