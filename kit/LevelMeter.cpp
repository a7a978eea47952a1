#include "kit/LevelMeter.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kClipMarkWidth = 5;
}

LevelMeter::LevelMeter(QWidget* parent) : QWidget(parent) {
  setFixedSize(48, 10);
  setToolTip("Level (click clears the clip mark)");
}

void LevelMeter::Take(float peak, double seconds) {
  const double before = ballistics_.LevelDb();
  const bool clipped = ballistics_.Clipped();
  ballistics_.Take(peak, seconds);
  if (ballistics_.LevelDb() != before || ballistics_.Clipped() != clipped) update();
}

void LevelMeter::MarkClip() {
  if (ballistics_.Clipped()) return;
  ballistics_.MarkClip();
  update();
}

void LevelMeter::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect bar = rect().adjusted(0, 0, -kClipMarkWidth - 1, 0);
  painter.fillRect(bar, QColor(32, 32, 32));
  const int lit = static_cast<int>(bar.width() * ballistics_.Fraction());
  // Full scale (0 dB) sits where the top's 6 dB of room begins.
  const double fullScale =
      (0.0 - MeterBallistics::kFloorDb) / (MeterBallistics::kTopDb - MeterBallistics::kFloorDb);
  const int fullAt = static_cast<int>(bar.width() * fullScale);
  painter.fillRect(QRect(bar.left(), bar.top(), std::min(lit, fullAt), bar.height()),
                   QColor(60, 200, 80));
  if (lit > fullAt)
    painter.fillRect(QRect(bar.left() + fullAt, bar.top(), lit - fullAt, bar.height()),
                     QColor(230, 190, 40));
  const QRect mark(rect().right() - kClipMarkWidth + 1, 0, kClipMarkWidth, height());
  painter.fillRect(mark, ballistics_.Clipped() ? QColor(230, 30, 30) : QColor(70, 20, 20));
}

void LevelMeter::mousePressEvent(QMouseEvent* event) {
  ballistics_.ClearClip();
  update();
  event->accept();
}
