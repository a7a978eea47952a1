#pragma once
// Tool windows (the Kit List, Extra samples) as dock widgets of the main
// window: beside the grid by default, so a maximised main window holds them,
// and floatable as windows of their own.
#include <Qt>

class QDockWidget;
class QMainWindow;
class QWidget;

// Puts tool into a dock of main at area; the dock's title follows the
// tool's window title.
QDockWidget* DockToolWindow(QMainWindow& main, QWidget& tool, Qt::DockWidgetArea area);

// Shows a tool window the user closed, its dock when it has one.
void ShowToolWindow(QWidget& tool);
