#pragma once
// TKit_List, the "Kit List" window: one label per kit instrument; a click
// chooses that instrument in the main window.
#include <QWidget>
#include <functional>
#include <vector>

class QLabel;
class QScrollArea;
class TWaveCollection;

class TKit_List : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kWidth = 230;

  explicit TKit_List(QWidget* parent = nullptr);

  // Sets the title and widens the window, if need be, so the window manager
  // shows it whole beside its buttons.
  void ShowTitle(const QString& title);

  // Rebuilds the labels for entries 1 .. K-1 of the kit.
  void PaintLabels(const TWaveCollection& kit);
  // Called with the label's tag when one is clicked.
  std::function<void(int tag)> OnSelectInstrument;
  const std::vector<QLabel*>& Labels() const { return labels_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QScrollArea* scrollBox_ = nullptr;
  std::vector<QLabel*> labels_;
};

// "Kick      [ ]" shows as "Kick": the last 3 characters go, then the blanks.
std::string KitLabelCaption(const std::string& entryName);
