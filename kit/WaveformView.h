#pragma once
// Draws a sound's peaks: one lane per channel, a line from the lowest to the
// highest sample in each pixel column, and a line where the sound plays.
// The columns are reduced from the peaks once per width.
#include <QColor>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "kit/WaveformPeaks.h"

class WaveformView : public QWidget {
  Q_OBJECT
 public:
  static inline const QColor kBackground{24, 28, 36};
  static inline const QColor kWave{110, 200, 140};
  static inline const QColor kAxis{64, 72, 88};
  static inline const QColor kPlayLine{255, 210, 64};

  explicit WaveformView(QWidget* parent = nullptr);

  // Null: nothing to draw but the lanes' axis.
  void SetPeaks(std::shared_ptr<const WaveformPeaks> peaks);
  const WaveformPeaks* Peaks() const { return peaks_.get(); }
  // The frame now playing; -1: none.
  void SetPlayFrame(int64_t frame);
  int64_t PlayFrame() const { return playFrame_; }
  // The pixel column of the play line; -1 when none is drawn.
  int PlayColumn() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const PeakColumns& ColumnsForWidth(int width);

  std::shared_ptr<const WaveformPeaks> peaks_;
  PeakColumns columns_;
  int columnsWidth_ = -1;
  int64_t playFrame_ = -1;
};
