#pragma once
// TForm2, the Options window: the cell jump. Non-modal and on top.
#include <QWidget>

class QPushButton;
class QSpinBox;
class TSequence;

class TForm2 : public QWidget {
  Q_OBJECT
 public:
  explicit TForm2(TSequence& sequence, QWidget* parent = nullptr);

  QSpinBox* SpinEdit1 = nullptr;
  QPushButton* Button1 = nullptr;

  void Button1Click();
  // Opens for input: the window takes the keyboard, the figure selected.
  void ShowForInput();

 protected:
  // Enter in the box is OK, as in a dialog.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  TSequence& sequence_;
};
