// Help › About Korvanto in the running program names the version and the
// licence, and takes the keyboard.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMessageBox>

#include "app/ProgramWindows.h"
#include "support/WindowTest.h"

namespace {

QMessageBox* OpenAboutBox() {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* box = qobject_cast<QMessageBox*>(widget);
        box && box->isVisible() && box->windowTitle() == "About Korvanto")
      return box;
  return nullptr;
}

TEST(AboutBoxTest, HelpMenuShowsVersionAndLicence) {
  WindowTestHome home;
  ProgramWindows windows;
  windows.Show();
  QAction* about = nullptr;
  for (QAction* action : windows.sequence.findChildren<QAction*>())
    if (action->text().remove('&') == "About Korvanto") about = action;
  ASSERT_NE(about, nullptr) << "no Help › About Korvanto";
  about->trigger();
  QApplication::processEvents();
  QMessageBox* box = OpenAboutBox();
  ASSERT_NE(box, nullptr);
  const QString text = box->text() + "\n" + box->informativeText();
  EXPECT_TRUE(text.contains("Korvanto 6.0.0")) << text.toStdString();
  EXPECT_TRUE(text.contains("GNU General Public License, version 3 or (at your option) any later"))
      << text.toStdString();
  EXPECT_EQ(QApplication::activeModalWidget(), box);
  box->close();
  QApplication::processEvents();
}

}  // namespace
