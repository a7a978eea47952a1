// Window tests run inside one QApplication on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "support/TestAudio.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  // The settings the windows keep go to a folder of this run, never the
  // user's; programs the tests start inherit it.
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  QApplication app(argc, argv);
  TestAudio::Install();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
