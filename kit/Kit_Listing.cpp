#include "kit/Kit_Listing.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cstdio>

#include "kit/InstrumentTable.h"
#include "kit/LevelMeter.h"
#include "kit/WaveCollection.h"
#include "kit/WaveformSource.h"
#include "kit/WaveformView.h"
#include "song/MixRule.h"

namespace {
constexpr int kNameWidth = 86;
constexpr int kRowWidth = 262;
}  // namespace

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
  meterTimer_ = new QTimer(this);
  meterTimer_->setInterval(kMeterIntervalMs);
  connect(meterTimer_, &QTimer::timeout, this, &TKit_List::PollMeters);
  hoverPopup_ = new QWidget(this, Qt::ToolTip | Qt::FramelessWindowHint);
  hoverPopup_->setObjectName("HoverPopup");
  hoverPopup_->setAttribute(Qt::WA_ShowWithoutActivating);
  hoverPopup_->setAttribute(Qt::WA_TransparentForMouseEvents);
  hoverPopup_->setFixedSize(kHoverWaveformWidth, kHoverWaveformHeight);
  hoverWaveform_ = new WaveformView(hoverPopup_);
  hoverWaveform_->setGeometry(0, 0, kHoverWaveformWidth, kHoverWaveformHeight);
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
  hoverPopup_->hide();
  delete scrollBox_;
  labels_.clear();
  rows_.clear();
  waveforms_.clear();
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
    label->setFixedWidth(kNameWidth);
    labels_.push_back(label);
    waveforms_.push_back(WaveformOf(waveformCache_, kit[i + 1].Wave()));
    rows_.push_back(MakeRow(content, InstrumentName(kit[i + 1].Name()), 8 + 24 * i));
  }
  content->resize(kRowWidth, 8 + 24 * count + 8);
  ShowMix(shown_);
  scrollBox_->setWidget(content);
  scrollBox_->show();
}

bool TKit_List::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Enter || event->type() == QEvent::Leave) {
    const QVariant tag = watched->property("tag");
    auto* label = qobject_cast<QLabel*>(watched);
    if (event->type() == QEvent::Enter && label && tag.isValid())
      ShowHoverWaveform(label, tag.toInt());
    else
      hoverPopup_->hide();
  }
  if (event->type() == QEvent::ContextMenu) {
    const QVariant tag = watched->property("tag");
    if (tag.isValid())
      ShowInstrumentMenu(tag.toInt(), static_cast<QContextMenuEvent*>(event)->globalPos());
    return true;
  }
  if (event->type() == QEvent::MouseButtonRelease) {
    const QVariant tag = watched->property("tag");
    if (tag.isValid() && OnSelectInstrument) OnSelectInstrument(tag.toInt());
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void TKit_List::ShowHoverWaveform(QLabel* label, int tag) {
  if (tag < 0 || tag >= static_cast<int>(waveforms_.size()) || !waveforms_[tag]) {
    hoverPopup_->hide();
    return;
  }
  hoverWaveform_->SetPeaks(waveforms_[tag]);
  hoverPopup_->move(label->mapToGlobal(QPoint(0, label->height() + 2)));
  hoverPopup_->show();
}

void TKit_List::ShowInstrumentMenu(int tag, const QPoint& at) {
  if (tag < 0 || tag >= static_cast<int>(rows_.size())) return;
  menuInstrument_ = rows_[static_cast<size_t>(tag)].name;
  if (!instrumentMenu_) {
    instrumentMenu_ = new QMenu(this);
    QAction* learn = instrumentMenu_->addAction("Learn MIDI note");
    connect(learn, &QAction::triggered, this, [this] {
      if (OnLearnMidiNote) OnLearnMidiNote(menuInstrument_);
    });
  }
  instrumentMenu_->popup(at);
}

int LevelOfSlider(int tenths) {
  if (tenths <= kLevelSliderSilent) return InstrumentMix::kSilent;
  return std::min(tenths, kLevelSliderTop) * 10;
}

int SliderOfLevel(int centiDb) {
  if (centiDb <= kLevelSliderSilent * 10) return kLevelSliderSilent;
  return std::min(centiDb, InstrumentMix::kMostLevel) / 10;
}

std::string LevelText(int centiDb) {
  if (centiDb <= InstrumentMix::kSilent) return "-inf dB";
  char text[32];
  std::snprintf(text, sizeof text, "%+.1f dB", centiDb / 100.0);
  return text;
}

TKit_List::MixRow TKit_List::MakeRow(QWidget* content, const std::string& name, int y) {
  MixRow row;
  row.name = name;
  auto button = [&](const char* text, const char* tip, int x, const char* lit) {
    auto* b = new QToolButton(content);
    b->setText(text);
    b->setToolTip(tip);
    b->setCheckable(true);
    // Plain to see which instruments are muted or soloed.
    b->setStyleSheet(QString("QToolButton:checked { background: %1; color: black; }").arg(lit));
    b->setGeometry(x, y - 2, 20, 20);
    return b;
  };
  row.mute = button("M", "Mute", kNameWidth + 4, "#f08080");
  row.solo = button("S", "Solo: only soloed instruments sound", kNameWidth + 26, "#f0d060");
  row.level = new QSlider(Qt::Horizontal, content);
  row.level->setRange(kLevelSliderSilent, kLevelSliderTop);
  row.level->setPageStep(30);
  row.level->setGeometry(kNameWidth + 48, y - 2, 76, 20);
  row.meter = new LevelMeter(content);
  row.meter->move(kNameWidth + 128, y + 3);
  // The row is looked up again by name: rows are rebuilt with the kit.
  connect(row.mute, &QToolButton::clicked, this, [this, name] {
    for (const MixRow& r : rows_)
      if (r.name == name) RowChanged(r, false);
  });
  connect(row.solo, &QToolButton::clicked, this, [this, name] {
    for (const MixRow& r : rows_)
      if (r.name == name) RowChanged(r, false);
  });
  connect(row.level, &QSlider::valueChanged, this, [this, name] {
    for (const MixRow& r : rows_)
      if (r.name == name) RowChanged(r, true);
  });
  return row;
}

void TKit_List::RowChanged(const MixRow& row, bool level) {
  InstrumentMix mix;
  mix.mute = row.mute->isChecked();
  mix.solo = row.solo->isChecked();
  mix.levelCentiDb = LevelOfSlider(row.level->value());
  row.level->setToolTip(QString::fromLatin1(LevelText(mix.levelCentiDb).c_str()));
  if (OnMixChanged) OnMixChanged(row.name, mix, level);
}

void TKit_List::ShowMix(const KitMix& mix) {
  shown_ = mix;
  for (const MixRow& row : rows_) {
    const InstrumentMix* found = FindInstrumentMix(mix, row.name);
    const InstrumentMix entry = found ? *found : InstrumentMix{};
    const QSignalBlocker quietMute(row.mute), quietSolo(row.solo), quietLevel(row.level);
    row.mute->setChecked(entry.mute);
    row.solo->setChecked(entry.solo);
    row.level->setValue(SliderOfLevel(entry.levelCentiDb));
    row.level->setToolTip(QString::fromLatin1(LevelText(entry.levelCentiDb).c_str()));
  }
}

void TKit_List::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  sincePoll_.start();
  meterTimer_->start();
  if (OnMetering) OnMetering(true);
}

void TKit_List::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  hoverPopup_->hide();
  meterTimer_->stop();
  if (OnMetering) OnMetering(false);
}

void TKit_List::PollMeters() {
  const double seconds = sincePoll_.isValid() ? sincePoll_.restart() / 1000.0 : 0.0;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const float peak = TakePeak ? TakePeak(static_cast<int>(i) + 1) : 0.0f;
    rows_[i].meter->Take(peak, seconds);
  }
}
