#include "pattern/PanelParts.h"

#include <QGridLayout>
#include <QVBoxLayout>

QLabel* BoldLabel(const QString& text) {
  auto* label = new QLabel(text);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  return label;
}

QToolButton* SmallButton(ToolIcon icon, const QString& hint, QSize size) {
  auto* button = new QToolButton;
  button->setIcon(MakeToolIcon(icon));
  button->setToolTip(hint);
  button->setAccessibleName(hint);
  button->setAutoRaise(false);
  button->setFixedSize(size);
  return button;
}

QToolButton* BarButton(ToolIcon icon, const QString& hint, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setIcon(MakeToolIcon(icon));
  button->setToolTip(hint);
  button->setAccessibleName(hint);
  button->setAutoRaise(true);
  return button;
}

QWidget* ListPanel(const QString& caption, QListWidget* list, const std::vector<QWidget*>& top,
                   QWidget* bottom) {
  auto* panel = new QWidget;
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(4, 0, 4, 0);
  grid->setSpacing(4);
  grid->addWidget(BoldLabel(caption), 0, 0, 1, 2);
  auto* buttons = new QVBoxLayout;
  buttons->setSpacing(4);
  for (QWidget* button : top) buttons->addWidget(button);
  buttons->addStretch(1);
  buttons->addWidget(bottom);
  grid->addWidget(list, 1, 0);
  grid->addLayout(buttons, 1, 1);
  grid->setRowStretch(1, 1);
  list->setAccessibleName(caption);
  return panel;
}
