#include "kit/WaveformView.h"

#include <QLine>
#include <QPainter>
#include <QVector>
#include <algorithm>

namespace {

// A sample value's row in a lane: full scale reaches the lane's edges.
int RowOf(float value, int top, int height) {
  const float clamped = std::clamp(value, -1.0f, 1.0f);
  const float middle = top + (height - 1) / 2.0f;
  return static_cast<int>(middle - clamped * (height - 1) / 2.0f + 0.5f);
}

// A column reaches to the one before it, so that the trace stays joined
// where a column holds few frames.
PeakRange JoinedToPrevious(PeakRange range, PeakRange previous) {
  if (previous.high < range.low) range.low = previous.high;
  if (previous.low > range.high) range.high = previous.low;
  return range;
}

}  // namespace

WaveformView::WaveformView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(16, 16);
}

void WaveformView::SetPeaks(std::shared_ptr<const WaveformPeaks> peaks) {
  if (peaks == peaks_) return;
  peaks_ = std::move(peaks);
  columnsWidth_ = -1;
  playFrame_ = -1;
  update();
}

void WaveformView::SetPlayFrame(int64_t frame) {
  const int before = PlayColumn();
  playFrame_ = frame;
  if (PlayColumn() != before) update();
}

int WaveformView::PlayColumn() const {
  if (!peaks_ || playFrame_ < 0) return -1;
  return peaks_->ColumnOfFrame(playFrame_, width());
}

const PeakColumns& WaveformView::ColumnsForWidth(int width) {
  if (columnsWidth_ != width) {
    columns_ = peaks_ ? peaks_->Columns(width) : PeakColumns{};
    columnsWidth_ = width;
  }
  return columns_;
}

void WaveformView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kBackground);
  const PeakColumns& columns = ColumnsForWidth(width());
  const int lanes = std::max<int>(1, static_cast<int>(columns.size()));
  QVector<QLine> axes, wave;
  wave.reserve(width() * lanes);
  for (int lane = 0; lane < lanes; ++lane) {
    const int top = height() * lane / lanes;
    const int laneHeight = height() * (lane + 1) / lanes - top;
    const int middle = RowOf(0.0f, top, laneHeight);
    axes.append(QLine(0, middle, width() - 1, middle));
    if (lane >= static_cast<int>(columns.size())) continue;
    const std::vector<PeakRange>& column = columns[lane];
    for (int x = 0; x < static_cast<int>(column.size()); ++x) {
      const PeakRange drawn = x > 0 ? JoinedToPrevious(column[x], column[x - 1]) : column[x];
      wave.append(
          QLine(x, RowOf(drawn.high, top, laneHeight), x, RowOf(drawn.low, top, laneHeight)));
    }
  }
  painter.setPen(kAxis);
  painter.drawLines(axes);
  painter.setPen(kWave);
  painter.drawLines(wave);
  if (const int x = PlayColumn(); x >= 0) {
    painter.setPen(kPlayLine);
    painter.drawLine(x, 0, x, height() - 1);
  }
}
