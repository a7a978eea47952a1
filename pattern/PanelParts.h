#pragma once
// Small widgets the main window's panels are built of.
#include <QLabel>
#include <QListWidget>
#include <QString>
#include <QToolButton>
#include <string>
#include <vector>

#include "pattern/Icons.h"

inline QString Latin1(const std::string& s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

QLabel* BoldLabel(const QString& text);
QToolButton* SmallButton(ToolIcon icon, const QString& hint, QSize size = {28, 28});
// A tool bar button: icon, hint and accessible name.
QToolButton* BarButton(ToolIcon icon, const QString& hint, QWidget* parent);
// A list with its bold caption above and its buttons in a column beside it.
QWidget* ListPanel(const QString& caption, QListWidget* list, const std::vector<QWidget*>& top,
                   QWidget* bottom);
