// TSequence: copies of unsaved work that survive a crash, and the ways out
// that ask nothing.
#include <unistd.h>

#include <QTimer>
#include <QUndoStack>
#include <cstdio>
#include <filesystem>

#include "common/Guard.h"
#include "common/QtPrompts.h"
#include "pattern/Sequencer.h"

// With the home's lock the copies of a run that did not end cleanly are
// offered; a question dismissed leaves them for the next start, and this
// run keeps its own copies beside them, as one without the lock does.
void TSequence::KeepRecovery(bool holdsLock) {
  if (recovery_) return;
  const std::string own = RecoveryFiles::OwnFolder(static_cast<long>(getpid()));
  std::string folder = holdsLock ? RecoveryFiles::kSharedFolder : own;
  std::vector<std::string> restored;
  for (const std::string& found :
       holdsLock ? RecoveryFiles::FoundIn(HomeDir()) : std::vector<std::string>{}) {
    RecoveryFiles files(HomeDir(), found);
    const bool answered = OfferRecoveredWork(files, AppPrompts(), [&] {
      RestoreRecoveredWork(files);
      restored.push_back(found);
    });
    if (!answered) folder = own;
  }
  if (!holdsLock)
    AppPrompts().ShowError(kOwnRecoveryNote + (std::filesystem::path("temp") / own).string() + ".");
  // A copy that can't be written is told once, on the terminal: never a
  // message box every few seconds.
  recovery_ =
      std::make_unique<RecoveryWriter>(HomeDir(), folder, [this](const std::string& message) {
        if (recoveryTroubleTold_.exchange(true)) return;
        std::fprintf(stderr, "korvanto: the recovery files can't be kept: %s\n", message.c_str());
      });
  // Restored work is copied anew before the copies it came from go.
  FlushRecoveryFiles();
  for (const std::string& found : restored)
    if (found != folder) RecoveryFiles(HomeDir(), found).Remove();
  if (!recoveryTimer_) {
    recoveryTimer_ = new QTimer(this);
    connect(recoveryTimer_, &QTimer::timeout, this, [this] { KeepRecoveryFiles(); });
  }
  recoveryTimer_->start(kRecoveryInterval);
}

// Each part on its own: a broken copy of one is told, the other still
// comes back. Restoring replaces what the window holds: the one question first.
void TSequence::RestoreRecoveredWork(const RecoveryFiles& files) {
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
