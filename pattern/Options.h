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

 private:
  TSequence& sequence_;
};
