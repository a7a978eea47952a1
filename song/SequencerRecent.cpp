// TSequence: File > Open Recent, the songs last opened or saved. They are
// kept in the settings store; one no longer on disk shows greyed.
#include <QAction>
#include <QMenu>
#include <QStringList>
#include <filesystem>
#include <system_error>

#include "common/AppSettings.h"
#include "pattern/Sequencer.h"
#include "song/RecentSongs.h"

namespace fs = std::filesystem;

namespace {
const QString kRecentKey = "recent/songs";

std::vector<std::string> StoredRecentSongs() {
  std::vector<std::string> recent;
  for (const QString& path : AppSettings().value(kRecentKey).toStringList())
    recent.push_back(path.toStdString());
  return recent;
}
}  // namespace

void TSequence::BuildRecentMenu(QMenu* file) {
  recentMenu_ = file->addMenu("Open R&ecent");
  connect(recentMenu_, &QMenu::aboutToShow, this, [this] { ShowRecentSongs(); });
  ShowRecentSongs();
}

void TSequence::ShowRecentSongs() {
  recentMenu_->clear();
  const std::vector<std::string> recent = StoredRecentSongs();
  int number = 0;
  for (const std::string& path : recent) {
    // "&1 /home/me/Rock.sng": the first nine open with their digit.
    const QString label = QString::fromStdString(path).replace('&', "&&");
    ++number;
    QAction* action = recentMenu_->addAction(number < 10 ? QString("&%1 %2").arg(number).arg(label)
                                                         : QString("1&0 %1").arg(label));
    std::error_code error;
    action->setEnabled(fs::is_regular_file(path, error));
    connect(action, &QAction::triggered, this,
            [this, path] { Guarded([&] { OpenRecentSong(path); }); });
  }
  recentMenu_->setEnabled(!recent.empty());
}

void TSequence::RememberSong(const fs::path& file) {
  std::error_code error;
  const fs::path whole = fs::absolute(file, error);
  if (error) return;
  QStringList stored;
  for (const std::string& path :
       WithRecentSong(StoredRecentSongs(), whole.lexically_normal().string()))
    stored << QString::fromStdString(path);
  AppSettings().setValue(kRecentKey, stored);
  // The items are made again as the menu opens: one of them may be the
  // action running now.
  recentMenu_->setEnabled(true);
}

// A recent song opens as Open Song would, after the one question.
void TSequence::OpenRecentSong(const std::string& path) {
  if (!ReadyToReplace(Replacing::Song)) return;
  OpenSongFile(path);
}
