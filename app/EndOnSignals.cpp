#include "app/EndOnSignals.h"

#include <csignal>

EndOnSignals::EndOnSignals(std::function<void()> end)
    : pipe_({SIGTERM, SIGINT, SIGHUP}), end_(std::move(end)) {
  if (pipe_.ReadEnd() < 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(pipe_.ReadEnd(), QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
    while (pipe_.Take() != 0) {
    }
    // Every later signal finds the end already on its way.
    if (ending_) return;
    ending_ = true;
    end_();
  });
}
