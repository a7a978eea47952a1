#include "kit/Sams.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>

int SlotButtonTop(int slot) {
  int y = 0;
  for (int n = 1; n < slot; ++n) y += 25 + (n % 4 == 0 ? 6 : 0);
  return y;
}

TSamples::TSamples(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint) {
  setObjectName("Samples");
  setWindowTitle("Extra samples");
  setGeometry(0, 1, 115, 445);
  QFont small = font();
  small.setPointSize(8);
  setFont(small);
  auto* active = new QLabel("Active Sample", this);
  active->setStyleSheet("font-size: 8pt;");
  active->move(4, 0);
  Label1 = new QLabel("1", this);
  Label1->setObjectName("Label1");
  Label1->move(80, 0);
  SamPannel = new QScrollArea(this);
  SamPannel->setObjectName("SamPannel");
  SamPannel->setGeometry(0, 16, 105, 401);
  SamPannel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  SamPannel->setStyleSheet("QScrollArea, QScrollArea > QWidget > QWidget { background: #808000; }");
  auto* content = new QWidget;
  QFont big = font();
  big.setPointSize(12);
  for (int n = 1; n <= kSlots; ++n) {
    auto* button = new QPushButton(QString("Sample %1").arg(n), content);
    button->setGeometry(24, SlotButtonTop(n), 60, 24);
    button->setProperty("slot", n);
    button->setStyleSheet("background: palette(button); font-size: 8pt; padding: 0px;");
    button->installEventFilter(this);
    connect(button, &QPushButton::clicked, this, [this, n] { Select_Sample(n); });
    buttons_.push_back(button);
    auto* number = new QLabel(QString::number(n), content);
    number->setFont(big);
    number->move(4, SlotButtonTop(n));
  }
  content->resize(88, SlotButtonTop(kSlots) + 30);
  SamPannel->setWidget(content);
}

void TSamples::Select_Sample(int slot) {
  Label1->setText(QString::number(slot));
  if (OnChooseSlot) OnChooseSlot(slot);
  if (OnOpenSlot) OnOpenSlot(slot);
}

void TSamples::Select_number(int slot) { Label1->setText(QString::number(slot)); }

bool TSamples::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    const QVariant slot = watched->property("slot");
    if (slot.isValid()) Select_number(slot.toInt());
  }
  return QWidget::eventFilter(watched, event);
}
