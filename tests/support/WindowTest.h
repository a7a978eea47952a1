#pragma once
// Helpers for tests that drive real windows with mouse and key events.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/AppSettings.h"
#include "common/QtPrompts.h"
#include "common/ScriptedPrompts.h"
#include "support/TempDir.h"

// A home folder like the one `make run` prepares, made current, with
// scripted prompts installed for the test's lifetime.
class WindowTestHome {
 public:
  WindowTestHome() : scope_(dir_.path()) {
    std::filesystem::create_directory(dir_ / "temp");
    // The default kit and Blank.wav the build made, as `make run` copies them.
    const std::filesystem::path built = KORVANTO_TEST_BUILD_DIR;
    std::filesystem::copy_file(built / "kit" / "power.dxg", dir_ / "power.dxg");
    std::filesystem::copy_file(built / "kit" / "Blank.wav", dir_ / "Blank.wav");
    WritePanning(std::vector<std::string>(17, "0"));
    SetAppPrompts(&prompts);
    AppSettings().clear();  // each test starts as a first run
  }
  ~WindowTestHome() { SetAppPrompts(nullptr); }

  void WritePanning(const std::vector<std::string>& lines) {
    std::ofstream out(dir_ / "Panning.dat", std::ios::binary);
    for (const auto& line : lines) out << line << "\r\n";
  }
  const std::filesystem::path& path() const { return dir_.path(); }
  std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }

  ScriptedPrompts prompts;

 private:
  TempDir dir_;
  CurrentDirScope scope_;
};

// The window's menu item of that caption (its "&" left out).
inline QAction* MenuItem(QWidget& window, const QString& caption) {
  for (QAction* action : window.findChildren<QAction*>())
    if (action->text().remove('&') == caption) return action;
  ADD_FAILURE() << "no menu item " << caption.toStdString();
  return nullptr;
}

inline void ShowAndActivate(QWidget& window) {
  window.show();
  window.activateWindow();
  (void)QTest::qWaitForWindowActive(&window, 2000);
}

// Mouse events on a view go to its viewport.
inline void Press(QAbstractItemView* view, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
  QTest::mousePress(view->viewport(), button, {}, at);
}
inline void Release(QAbstractItemView* view, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
  QTest::mouseRelease(view->viewport(), button, {}, at);
}
inline void Click(QAbstractItemView* view, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
  Press(view, at, button);
  Release(view, at, button);
}
// A move with the left button held, as a drag makes.
inline void DragTo(QAbstractItemView* view, QPoint at) {
  QMouseEvent move(QEvent::MouseMove, at, view->viewport()->mapToGlobal(at), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(view->viewport(), &move);
}
