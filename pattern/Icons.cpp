#include "pattern/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace {
constexpr int kSize = 20;
const QColor kInk(40, 48, 60);
const QColor kGreen(46, 150, 70);
const QColor kRed(196, 56, 48);
const QColor kBlue(46, 104, 186);
const QColor kAmber(224, 150, 30);

void Triangle(QPainter& p, QRectF r, const QColor& c) {
  QPainterPath path;
  path.moveTo(r.left(), r.top());
  path.lineTo(r.right(), r.center().y());
  path.lineTo(r.left(), r.bottom());
  path.closeSubpath();
  p.fillPath(path, c);
}

void RepeatArrows(QPainter& p, const QColor& c) {
  p.setPen(QPen(c, 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawArc(QRectF(3, 4, 14, 12), 30 * 16, 150 * 16);
  p.drawArc(QRectF(3, 4, 14, 12), 210 * 16, 150 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawPolygon(QPolygonF({QPointF(15, 2), QPointF(18.5, 7), QPointF(13, 8)}));
  p.drawPolygon(QPolygonF({QPointF(5, 18), QPointF(1.5, 13), QPointF(7, 12)}));
}

void Lines(QPainter& p, const QColor& c, int count, qreal width) {
  p.setPen(QPen(c, 2));
  for (int i = 0; i < count; ++i) p.drawLine(QPointF(3, 5 + i * 4), QPointF(3 + width, 5 + i * 4));
}

// The curved arrow of undo; redo is its mirror image.
void UndoArrow(QPainter& p, bool mirrored) {
  if (mirrored) {
    p.translate(kSize, 0);
    p.scale(-1, 1);
  }
  p.setPen(QPen(kBlue, 2.2, Qt::SolidLine, Qt::RoundCap));
  QPainterPath curve;
  curve.moveTo(6, 8);
  curve.cubicTo(QPointF(13, 4), QPointF(19, 9), QPointF(15, 16));
  p.drawPath(curve);
  p.setPen(Qt::NoPen);
  p.setBrush(kBlue);
  p.drawPolygon(QPolygonF({QPointF(2, 8), QPointF(9, 3), QPointF(9, 13)}));
}

void Draw(QPainter& p, ToolIcon icon, bool on) {
  switch (icon) {
    case ToolIcon::Undo:
    case ToolIcon::Redo:
      UndoArrow(p, icon == ToolIcon::Redo);
      break;
    case ToolIcon::Play:
      Triangle(p, QRectF(5, 3, 12, 14), kGreen);
      break;
    case ToolIcon::Stop:
      p.fillRect(QRectF(4, 4, 12, 12), kRed);
      break;
    case ToolIcon::RepeatPattern:
    case ToolIcon::RepeatList:
      if (on) p.fillRect(QRectF(0, 0, kSize, kSize), QColor(255, 226, 150));
      RepeatArrows(p, on ? kAmber.darker(130) : QColor(150, 150, 150));
      if (icon == ToolIcon::RepeatList) {
        p.setPen(QPen(kInk, 1.5));
        p.drawLine(QPointF(8, 10), QPointF(12, 10));
      }
      break;
    case ToolIcon::RenderWave: {
      p.setPen(QPen(kBlue, 1.8));
      QPainterPath wave;
      wave.moveTo(2, 10);
      for (int x = 2; x <= 18; ++x)
        wave.lineTo(x, 10 + 6 * std::sin((x - 2) * 0.8) * (1 - (x - 2) / 20.0));
      p.drawPath(wave);
      break;
    }
    case ToolIcon::ClearList:
      Lines(p, kInk, 4, 10);
      p.setPen(QPen(kRed, 2.2));
      p.drawLine(12, 11, 18, 17);
      p.drawLine(18, 11, 12, 17);
      break;
    case ToolIcon::PlayList:
      Lines(p, kInk, 3, 8);
      Triangle(p, QRectF(11, 5, 8, 10), kGreen);
      break;
    case ToolIcon::PlaySample:
      p.fillRect(QRectF(3, 7, 4, 6), kInk);
      Triangle(p, QRectF(3, 3, 7, 14).translated(4, 0), kInk);
      p.setPen(QPen(kBlue, 1.5));
      p.drawArc(QRectF(9, 5, 8, 10), -60 * 16, 120 * 16);
      p.drawArc(QRectF(7, 2, 12, 16), -60 * 16, 120 * 16);
      break;
    case ToolIcon::UpdateTime:
      p.setPen(QPen(kGreen, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawPolyline(QPolygonF({QPointF(4, 10), QPointF(8, 15), QPointF(16, 5)}));
      break;
    case ToolIcon::SavePattern:
      p.fillRect(QRectF(3, 3, 14, 14), kBlue);
      p.fillRect(QRectF(6, 3, 8, 5), Qt::white);
      p.fillRect(QRectF(6, 11, 8, 6), QColor(220, 230, 245));
      break;
    case ToolIcon::ClearPattern:
      p.setPen(QPen(kInk, 1));
      for (int i = 0; i < 4; ++i) p.drawRect(QRectF(3 + i * 3.5, 4, 3, 12));
      p.setPen(QPen(kRed, 2.2));
      p.drawLine(4, 4, 16, 16);
      break;
    case ToolIcon::GlobalSpeed:
      if (on) p.fillRect(QRectF(0, 0, kSize, kSize), QColor(255, 226, 150));
      p.setPen(QPen(on ? kInk : QColor(140, 140, 140), 1.6));
      p.drawPolygon(QPolygonF({QPointF(6, 17), QPointF(14, 17), QPointF(12, 3), QPointF(8, 3)}));
      p.drawLine(QPointF(10, 14), QPointF(15, 5));
      break;
    case ToolIcon::ArrowRight:
      Triangle(p, QRectF(6, 4, 9, 12), kInk);
      break;
    case ToolIcon::ArrowLeft:
      p.translate(kSize, 0);
      p.scale(-1, 1);
      Triangle(p, QRectF(6, 4, 9, 12), kInk);
      break;
    case ToolIcon::ArrowUp:
    case ToolIcon::ArrowDown: {
      const qreal tip = icon == ToolIcon::ArrowUp ? 5 : 15,
                  base = icon == ToolIcon::ArrowUp ? 14 : 6;
      p.setPen(Qt::NoPen);
      p.setBrush(kInk);
      p.drawPolygon(QPolygonF({QPointF(10, tip), QPointF(4, base), QPointF(16, base)}));
      break;
    }
    case ToolIcon::Bin:
      p.setPen(QPen(kInk, 1.5));
      p.drawRect(QRectF(5, 6, 10, 11));
      p.drawLine(3, 5, 17, 5);
      p.drawLine(8, 3, 12, 3);
      for (int x : {8, 10, 12}) p.drawLine(x, 8, x, 15);
      break;
  }
}
}  // namespace

// Drawn once per screen scale, so the pictures stay sharp on high-DPI screens.
QIcon MakeToolIcon(ToolIcon icon, int imageIndex) {
  QIcon result;
  for (const qreal scale : {1.0, 1.5, 2.0, 3.0}) {
    QPixmap pixmap(qRound(kSize * scale), qRound(kSize * scale));
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    Draw(painter, icon, imageIndex != 0);
    painter.end();
    result.addPixmap(pixmap);
  }
  return result;
}
