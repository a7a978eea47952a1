#include "common/QtDecodeProgress.h"

#include <QApplication>
#include <algorithm>

#include "common/QtPrompts.h"
#include "kit/DecodeToWav.h"

namespace {
constexpr int kSteps = 1000;
constexpr int kUpdateMs = 40;  // events run this often while decoding
}  // namespace

QtDecodeProgress::QtDecodeProgress() = default;

QtDecodeProgress::~QtDecodeProgress() {
  delete dialog_;
}

void QtDecodeProgress::Begin(const std::filesystem::path& source, std::int64_t total) {
  delete dialog_;
  total_ = total;
  const QString name = QString::fromStdString(source.filename().string());
  dialog_ = new QProgressDialog(QStringLiteral("Decoding %1").arg(name), QStringLiteral("Cancel"),
                                0, kSteps, QApplication::activeWindow());
  dialog_->setWindowTitle(QStringLiteral("Korvanto"));
  // No other window acts while a decode runs between its events.
  dialog_->setWindowModality(Qt::ApplicationModal);
  dialog_->setMinimumDuration(kShowAfterMs);
  dialog_->setAutoReset(false);
  dialog_->setValue(0);
  sinceUpdate_.start();
}

// Pending events run here, so Cancel can arrive, also while the value
// stands still.
bool QtDecodeProgress::Continue(std::int64_t done) {
  if (!dialog_) return true;
  if (sinceUpdate_.elapsed() >= kUpdateMs) {
    sinceUpdate_.restart();
    const std::int64_t step =
        total_ > 0 ? std::min<std::int64_t>(done * kSteps / total_, kSteps - 1) : 0;
    dialog_->setValue(static_cast<int>(step));
    if (dialog_ && dialog_->isVisible()) QCoreApplication::processEvents();
  }
  return !dialog_ || !dialog_->wasCanceled();
}

void QtDecodeProgress::End() {
  delete dialog_;
}

void QtDecodeProgress::ShorterThanHeader(const std::filesystem::path& source) {
  AppPrompts().Message(ShorterThanHeaderMessage(source.filename()), "Korvanto", PromptButtons::Ok);
}

void QtDecodeProgress::Clipped(const std::filesystem::path& source, std::int64_t samples) {
  AppPrompts().Message(source.filename().string() + ": " + std::to_string(samples) +
                           " samples lay beyond full scale and were clipped",
                       "Korvanto", PromptButtons::Ok);
}
