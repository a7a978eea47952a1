// What a desktop program owes its users beyond the design: help, keyboard
// access to every menu, names a screen reader can speak.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <fstream>

#include "help/HelpWindow.h"
#include "pattern/Sequencer.h"
#include "pattern/StepGridView.h"
#include "support/WindowTest.h"

namespace {

bool IsControl(QWidget* widget) {
  if (qobject_cast<QScrollBar*>(widget)) return false;
  // The parts inside a control (a combo box's edit, a spin box's edit) are spoken as it.
  for (QWidget* up = widget->parentWidget(); up; up = up->parentWidget())
    if (qobject_cast<QComboBox*>(up) || qobject_cast<QAbstractSpinBox*>(up) ||
        qobject_cast<QAbstractItemView*>(up))
      return false;
  return qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget) ||
         qobject_cast<QLineEdit*>(widget) || qobject_cast<QAbstractSpinBox*>(widget) ||
         qobject_cast<QAbstractSlider*>(widget) || qobject_cast<QAbstractItemView*>(widget) ||
         qobject_cast<QProgressBar*>(widget);
}

QString SpokenName(QWidget* widget) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
  return accessible ? accessible->text(QAccessible::Name) : QString();
}

}  // namespace

TEST(Desktop, EveryControlOfTheMainWindowHasAName) {
  WindowTestHome home;
  TSequence sequence;
  ShowAndActivate(sequence);
  int controls = 0;
  for (QWidget* widget : sequence.findChildren<QWidget*>()) {
    if (!IsControl(widget) || widget->window() != &sequence) continue;
    ++controls;
    EXPECT_FALSE(SpokenName(widget).trimmed().isEmpty())
        << widget->metaObject()->className() << " " << widget->objectName().toStdString();
  }
  EXPECT_GT(controls, 25);
  EXPECT_EQ(SpokenName(sequence.ToolButton14), "Save pattern");
  EXPECT_EQ(SpokenName(sequence.ToolButton1), "Play pattern");
  EXPECT_EQ(SpokenName(sequence.MusicLib), "Pattern Library");
  EXPECT_EQ(SpokenName(sequence.SongList), "Play List");
  EXPECT_EQ(SpokenName(sequence.StringGrid1), "Step grid");
  EXPECT_EQ(SpokenName(sequence.Delay), "Tempo");
}

// Alt and an underlined letter reach every menu and every item, one letter
// each within a menu.
TEST(Desktop, EveryMenuItemHasItsOwnUnderlinedLetter) {
  WindowTestHome home;
  TSequence sequence;
  auto letter = [](const QString& text) {
    const int at = text.indexOf('&');
    return at >= 0 && at + 1 < text.size() ? text[at + 1].toLower() : QChar();
  };
  QSet<QChar> menus;
  for (QAction* menuAction : sequence.menuBar()->actions()) {
    const QChar key = letter(menuAction->text());
    EXPECT_FALSE(key.isNull()) << menuAction->text().toStdString();
    EXPECT_FALSE(menus.contains(key)) << menuAction->text().toStdString();
    menus.insert(key);
    QSet<QChar> items;
    for (QAction* item : menuAction->menu()->actions()) {
      if (item->isSeparator()) continue;
      const QChar itemKey = letter(item->text());
      EXPECT_FALSE(itemKey.isNull()) << item->text().toStdString();
      EXPECT_FALSE(items.contains(itemKey)) << item->text().toStdString();
      items.insert(itemKey);
    }
  }
}

TEST(Desktop, F1OpensTheManualWithItsContents) {
  WindowTestHome home;
  TSequence sequence;
  ShowAndActivate(sequence);
  QTest::keyClick(&sequence, Qt::Key_F1);
  HelpWindow* help = sequence.Help();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  QStringList sections;
  for (int i = 0; i < help->Contents->topLevelItemCount(); ++i)
    sections << help->Contents->topLevelItem(i)->text(0);
  for (const char* section : {"The windows", "Editing a pattern", "Playing", "Songs",
                              "Sample slots and the sample editor", "Kits", "Rendering",
                              "The command line", "The files in the home folder"})
    EXPECT_TRUE(sections.contains(section)) << section;
  EXPECT_TRUE(help->Manual->toPlainText().contains("Play, play list"));
  help->ShowSection("The command line");
  EXPECT_GT(help->Manual->verticalScrollBar()->value(), 0);
}

// A help file of the user's own still goes to the desktop's viewer.
TEST(Desktop, AHelpFileInTheHomeFolderIsOpenedInstead) {
  WindowTestHome home;
  std::ofstream(home / "korvanto.hlp") << "my notes";
  TSequence sequence;
  sequence.HelpClick();
  EXPECT_EQ(sequence.Help(), nullptr);
}

// Tab walks the main window as it reads: the tool bar, the lists left to
// right, the tempo bar, the instruments, the grid.
TEST(Desktop, TabOrderFollowsTheLayout) {
  WindowTestHome home;
  TSequence sequence;
  ShowAndActivate(sequence);
  const std::vector<QWidget*> expected = {
      sequence.TimeBar,   sequence.Edit2,    sequence.Loop,
      sequence.MusicLib,  sequence.SongList, sequence.Delay,
      sequence.ComboBox1, sequence.Panning,  sequence.StringGrid1};
  std::vector<QWidget*> seen;
  QWidget* widget = sequence.TimeBar;
  for (int step = 0; step < 200 && seen.size() < expected.size(); ++step) {
    if (std::find(expected.begin(), expected.end(), widget) != expected.end() &&
        std::find(seen.begin(), seen.end(), widget) == seen.end())
      seen.push_back(widget);
    widget = widget->nextInFocusChain();
  }
  EXPECT_EQ(seen, expected);
}
