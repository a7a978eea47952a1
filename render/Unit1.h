#pragma once
// TForm1, the render window: "Now Adding:" and the instrument being added,
// shown while a song is rendered; it also moves the main window's progress
// bar and lets events run so that Stop can end the render.
#include <QWidget>
#include <chrono>
#include <functional>

#include "render/RenderFlow.h"
#include "render/RenderProgress.h"

class QLabel;
class QProgressBar;

class TForm1 : public QWidget, public RenderProgress {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 313;
  static constexpr int kClientHeight = 115;
  // The progress bar shows thousandths of the render.
  static constexpr int kProgressSteps = 1000;

  explicit TForm1(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;

  // The main window's progress bar, and how to tell that Stop was pressed
  // (the main window's "Play pattern" button enabled again).
  void SetProgressBar(QProgressBar* bar) { progressBar_ = bar; }
  void SetStopPressed(std::function<bool()> stopPressed) { stopPressed_ = std::move(stopPressed); }
  // How often the render lets pending events run.
  void SetEventInterval(std::chrono::milliseconds interval) { eventInterval_ = interval; }

  // The main window's RendorClick: the whole render inside the error guard.
  // A request while a render runs is ignored.
  void Render(RenderHost& host);
  // Other long work shown here (stems, collecting a song), inside the error
  // guard; ignored while a render or other work runs.
  void Run(const std::function<void(RenderFlow&, RenderProgress&)>& work);
  // True while a render or other work runs.
  bool Rendering() const { return busy_ || flow_.Running(); }

  // RenderProgress.
  void Begin(std::int64_t total) override;
  void Advance(std::int64_t done) override;
  void Adding(const std::string& text) override;
  bool Cancelled() override;
  void End() override;

 private:
  RenderFlow flow_;
  bool busy_ = false;
  QProgressBar* progressBar_ = nullptr;
  std::function<bool()> stopPressed_;
  std::int64_t total_ = 0;
  std::chrono::milliseconds eventInterval_{20};
  std::chrono::steady_clock::time_point lastEvents_{};
};
