#pragma once
// A level meter: a bar to the peak, falling back, with a clip mark at its
// end that a click clears.
#include <QWidget>

#include "kit/MeterBallistics.h"

class LevelMeter : public QWidget {
  Q_OBJECT
 public:
  explicit LevelMeter(QWidget* parent = nullptr);

  void Take(float peak, double seconds);
  void MarkClip();
  const MeterBallistics& Ballistics() const { return ballistics_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  MeterBallistics ballistics_;
};
