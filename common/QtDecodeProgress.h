#pragma once
// Decodes watched by a progress dialog over the window that asked (the
// active one), with a Cancel button; clipping is reported in a message box.
#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <memory>

#include "kit/DecodeWatch.h"

class QtDecodeProgress : public DecodeWatch {
 public:
  // The dialog shows only for a decode that lasts longer than this.
  static constexpr int kShowAfterMs = 400;

  QtDecodeProgress();
  ~QtDecodeProgress() override;

  void Begin(const std::filesystem::path& source, std::int64_t total) override;
  bool Continue(std::int64_t done) override;
  void End() override;
  void ShorterThanHeader(const std::filesystem::path& source) override;
  void Clipped(const std::filesystem::path& source, std::int64_t samples) override;

  // The dialog of the decode under way (null when none is); for tests.
  QProgressDialog* Dialog() const { return dialog_; }

 private:
  QPointer<QProgressDialog> dialog_;
  std::int64_t total_ = 0;
  QElapsedTimer sinceUpdate_;
};
