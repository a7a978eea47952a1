// TSequence: what the main window remembers between runs in the settings
// store: its place and size (maximised or not), the docks, the splitter
// and the cell jump.
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <algorithm>

#include "common/AppSettings.h"
#include "pattern/Sequencer.h"

namespace {
const QString kPlace = "window/place";
const QString kMaximised = "window/maximised";
const QString kDocks = "window/docks";
const QString kSplitter = "window/splitter";
const QString kCellJump = "options/cellJump";

// A place fits when the middle of its top edge, where the title bar is
// grabbed, lies on some screen's free area: a screen gone or made smaller
// since leaves it off.
bool FitsAScreen(const QRect& place) {
  const QPoint grip(place.center().x(), place.top());
  for (const QScreen* screen : QGuiApplication::screens())
    if (screen->availableGeometry().contains(grip)) return true;
  return false;
}
}  // namespace

void TSequence::SetCellJump(int cellJump) {
  cellJump_ = cellJump;
  AppSettings().setValue(kCellJump, cellJump);
}

void TSequence::SaveSettings() {
  AppSettings settings;
  settings.setValue(kPlace, normalGeometry());
  settings.setValue(kMaximised, isMaximized());
  settings.setValue(kDocks, saveState());
  settings.setValue(kSplitter, Splitter->saveState());
}

bool TSequence::RestoreSettings() {
  AppSettings settings;
  cellJump_ = std::max(0, settings.value(kCellJump, 0).toInt());
  restoreState(settings.value(kDocks).toByteArray());
  Splitter->restoreState(settings.value(kSplitter).toByteArray());
  const QRect place = settings.value(kPlace).toRect();
  if (!place.isValid() || !FitsAScreen(place)) return false;
  setGeometry(place);
  if (settings.value(kMaximised).toBool()) setWindowState(windowState() | Qt::WindowMaximized);
  return true;
}
