#include "pattern/ToolDock.h"

#include <QDockWidget>
#include <QMainWindow>

QDockWidget* DockToolWindow(QMainWindow& main, QWidget& tool, Qt::DockWidgetArea area) {
  auto* dock = new QDockWidget(tool.windowTitle(), &main);
  dock->setObjectName(tool.objectName() + "Dock");
  dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                    QDockWidget::DockWidgetFloatable);
  // Docked, it keeps the width it had as a window of its own.
  tool.setMinimumWidth(tool.width());
  tool.setWindowFlags(Qt::Widget);
  dock->setWidget(&tool);
  tool.show();
  QObject::connect(&tool, &QWidget::windowTitleChanged, dock, &QWidget::setWindowTitle);
  main.addDockWidget(area, dock);
  return dock;
}

void ShowToolWindow(QWidget& tool) {
  auto* dock = qobject_cast<QDockWidget*>(tool.parentWidget());
  QWidget& window = dock ? *dock : tool;
  window.show();
  window.raise();
  if (dock && dock->isFloating()) dock->activateWindow();
}
