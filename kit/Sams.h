#pragma once
// TSamples, the "Extra samples" window: a button per sample slot; a click
// opens the slot in the sample editor.
#include <QWidget>
#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QScrollArea;

class TSamples : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kSlots = 32;
  static constexpr int kWidth = 220;  // the title "Extra samples" whole, beside its buttons

  explicit TSamples(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;
  QScrollArea* SamPannel = nullptr;
  // The slot buttons in slot order; loaders set their captions.
  const std::vector<QPushButton*>& SlotButtons() const { return buttons_; }

  void Select_Sample(int slot);
  void Select_number(int slot);

  // What choosing a slot does elsewhere: the main window's chooser and the
  // sample editor.
  std::function<void(int slot)> OnChooseSlot;
  std::function<void(int slot)> OnOpenSlot;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::vector<QPushButton*> buttons_;
};

// Top of slot n's button: 25 pixels apart, 6 more after every fourth slot.
int SlotButtonTop(int slot);
