#include "pattern/Options.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <climits>

#include "pattern/Sequencer.h"

TForm2::TForm2(TSequence& sequence, QWidget* parent)
    : QWidget(parent, Qt::Tool), sequence_(sequence) {
  setWindowTitle("Options");
  setFixedSize(180, 96);
  auto* label = new QLabel("Cell Jump", this);
  label->setGeometry(16, 14, 80, 20);
  SpinEdit1 = new QSpinBox(this);
  SpinEdit1->setObjectName("SpinEdit1");
  SpinEdit1->setRange(INT_MIN, INT_MAX);
  SpinEdit1->setValue(0);
  SpinEdit1->setGeometry(96, 12, 68, 24);
  Button1 = new QPushButton("OK", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(52, 54, 76, 28);
  connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void TForm2::ShowForInput() {
  SpinEdit1->setValue(sequence_.CellJump());  // a remembered one too
  show();
  raise();
  activateWindow();
  SpinEdit1->setFocus();
  SpinEdit1->selectAll();
}

void TForm2::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    Button1Click();
    return;
  }
  if (event->key() == Qt::Key_Escape) {
    hide();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TForm2::Button1Click() {
  SpinEdit1->interpretText();
  if (SpinEdit1->value() < 0) SpinEdit1->setValue(0);
  sequence_.SetCellJump(SpinEdit1->value());
  hide();
}
