#include "kit/Kit_Listing.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollArea>

#include "kit/WaveCollection.h"

std::string KitLabelCaption(const std::string& entryName) {
  std::string caption = entryName.substr(0, entryName.size() >= 3 ? entryName.size() - 3 : 0);
  const auto first = caption.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return caption.substr(first, caption.find_last_not_of(' ') - first + 1);
}

TKit_List::TKit_List(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("Kit_List");
  setWindowTitle("Kit List");
  // Wide enough for its title, "Kit List-" and the kit's name.
  resize(kWidth, 425);
  scrollBox_ = new QScrollArea(this);
  scrollBox_->setGeometry(rect());
}

void TKit_List::ShowTitle(const QString& title) {
  setWindowTitle(title);
  QFont bold = font();
  bold.setBold(true);
  constexpr int kButtonsAndIcon = 110;
  const int needed = QFontMetrics(bold).horizontalAdvance(title) * 6 / 5 + kButtonsAndIcon;
  if (width() < needed) resize(needed, height());
}

void TKit_List::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (scrollBox_) scrollBox_->setGeometry(rect());
}

void TKit_List::PaintLabels(const TWaveCollection& kit) {
  delete scrollBox_;
  labels_.clear();
  scrollBox_ = new QScrollArea(this);
  scrollBox_->setGeometry(rect());
  auto* content = new QWidget;
  QFont font = this->font();
  font.setPointSize(10);
  font.setBold(true);
  font.setItalic(true);
  const int count = kit.Count() >= 2 ? kit.Count() - 1 : 0;
  for (int i = 0; i < count; ++i) {
    auto* label =
        new QLabel(QString::fromLatin1(KitLabelCaption(kit[i + 1].Name()).c_str()), content);
    label->setProperty("tag", i);
    label->setFont(font);
    label->setCursor(Qt::PointingHandCursor);
    label->move(2, 8 + 24 * i);
    label->installEventFilter(this);
    labels_.push_back(label);
  }
  content->resize(90, 8 + 24 * count + 8);
  scrollBox_->setWidget(content);
  scrollBox_->show();
}

bool TKit_List::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    const QVariant tag = watched->property("tag");
    if (tag.isValid() && OnSelectInstrument) OnSelectInstrument(tag.toInt());
    return true;
  }
  return QWidget::eventFilter(watched, event);
}
