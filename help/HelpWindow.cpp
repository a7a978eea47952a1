#include "help/HelpWindow.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>

namespace {
QString ManualText() {
  QFile file(":/help/manual.md");
  if (!file.open(QIODevice::ReadOnly)) return "The manual is missing from this build.";
  return QString::fromUtf8(file.readAll());
}
}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("Help");
  setWindowTitle("Korvanto Help");
  Contents = new QTreeWidget;
  Contents->setObjectName("Contents");
  Contents->setAccessibleName("Contents");
  Contents->setHeaderHidden(true);
  Manual = new QTextBrowser;
  Manual->setObjectName("Manual");
  Manual->setAccessibleName("Manual");
  Manual->setOpenExternalLinks(true);
  Manual->setMarkdown(ManualText());
  auto* splitter = new QSplitter;
  splitter->addWidget(Contents);
  splitter->addWidget(Manual);
  splitter->setStretchFactor(1, 3);
  splitter->setSizes({200, 600});
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter);
  FillContents();
  connect(Contents, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item) { ShowSection(item->text(0)); });
  resize(820, 600);
}

// One entry per heading of the manual, its subsections under it.
void HelpWindow::FillContents() {
  QTreeWidgetItem* section = nullptr;
  for (QTextBlock block = Manual->document()->begin(); block.isValid(); block = block.next()) {
    const int level = block.blockFormat().headingLevel();
    if (level == 2) {
      section = new QTreeWidgetItem(Contents, {block.text()});
    } else if (level == 3 && section) {
      new QTreeWidgetItem(section, {block.text()});
    }
  }
  Contents->expandAll();
}

void HelpWindow::ShowSection(const QString& heading) {
  for (QTextBlock block = Manual->document()->begin(); block.isValid(); block = block.next()) {
    if (block.blockFormat().headingLevel() == 0 || block.text() != heading) continue;
    const QRectF where = Manual->document()->documentLayout()->blockBoundingRect(block);
    Manual->verticalScrollBar()->setValue(static_cast<int>(where.top()));
    return;
  }
}
