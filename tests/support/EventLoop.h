#pragma once
// Runs the event loop as main() does; a loop that never ends fails the test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <functional>

inline int RunEventLoop(const std::function<void()>& first) {
  QTimer::singleShot(0, first);
  bool timedOut = false;
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [&] {
    timedOut = true;
    QCoreApplication::exit(99);
  });
  watchdog.start(10000);
  const int code = QApplication::exec();
  EXPECT_FALSE(timedOut) << "the event loop went on after the main window closed";
  return code;
}
