#pragma once
// The user manual inside the program: a contents list beside the manual's
// text, compiled into the program so it is there wherever Korvanto runs.
#include <QWidget>

class QTextBrowser;
class QTreeWidget;

class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  QTreeWidget* Contents = nullptr;
  QTextBrowser* Manual = nullptr;

  // Scrolls the manual to the heading of that text.
  void ShowSection(const QString& heading);

 private:
  void FillContents();
};
