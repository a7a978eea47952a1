#include "kit/Sams.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

int SlotButtonTop(int slot) {
  int y = 0;
  for (int n = 1; n < slot; ++n) y += 25 + (n % 4 == 0 ? 6 : 0);
  return y;
}

TSamples::TSamples(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("Samples");
  setWindowTitle("Extra samples");
  resize(kWidth, 445);
  QFont small = font();
  small.setPointSize(8);
  setFont(small);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);
  auto* header = new QHBoxLayout;
  header->setContentsMargins(4, 2, 4, 0);
  header->addWidget(new QLabel("Active Sample"));
  Label1 = new QLabel("1");
  Label1->setObjectName("Label1");
  Label1->setAccessibleName("Active sample");
  header->addWidget(Label1);
  header->addStretch(1);
  column->addLayout(header);
  SamPannel = new QScrollArea;
  SamPannel->setObjectName("SamPannel");
  SamPannel->setAccessibleName("Sample slots");
  SamPannel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  SamPannel->setStyleSheet("QScrollArea, QScrollArea > QWidget > QWidget { background: #808000; }");
  column->addWidget(SamPannel, 1);
  auto* content = new QWidget;
  QFont big = font();
  big.setPointSize(12);
  for (int n = 1; n <= kSlots; ++n) {
    auto* button = new QPushButton(QString("Sample %1").arg(n), content);
    button->setGeometry(28, SlotButtonTop(n), 140, 24);
    button->setProperty("slot", n);
    button->setAccessibleName(QString("Sample slot %1").arg(n));
    button->setStyleSheet("background: palette(button); font-size: 8pt; padding: 0px;");
    button->installEventFilter(this);
    connect(button, &QPushButton::clicked, this, [this, n] { Select_Sample(n); });
    buttons_.push_back(button);
    auto* number = new QLabel(QString::number(n), content);
    number->setFont(big);
    number->move(4, SlotButtonTop(n));
  }
  content->resize(172, SlotButtonTop(kSlots) + 30);
  SamPannel->setWidget(content);
}

void TSamples::Select_Sample(int slot) {
  Label1->setText(QString::number(slot));
  if (OnChooseSlot) OnChooseSlot(slot);
  if (OnOpenSlot) OnOpenSlot(slot);
}

void TSamples::Select_number(int slot) {
  Label1->setText(QString::number(slot));
}

bool TSamples::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    const QVariant slot = watched->property("slot");
    if (slot.isValid()) Select_number(slot.toInt());
  }
  return QWidget::eventFilter(watched, event);
}
