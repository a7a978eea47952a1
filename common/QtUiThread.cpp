#include "common/QtUiThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>

namespace {
class QtTimer : public UiTimer {
 public:
  QtTimer(std::chrono::milliseconds period, std::function<void()> tick) {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [tick = std::move(tick)] { tick(); });
    timer_.start(period);
  }

 private:
  QTimer timer_;
};
}  // namespace

void QtUiThread::Post(std::function<void()> task) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
}

std::unique_ptr<UiTimer> QtUiThread::StartTimer(std::chrono::milliseconds period,
                                                std::function<void()> tick) {
  return std::make_unique<QtTimer>(period, std::move(tick));
}

QtUiThread& QtUiThread::Instance() {
  static QtUiThread instance;
  return instance;
}
