#include "render/Unit1.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

#include "common/Guard.h"
#include "common/QtPrompts.h"

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y,
                  const QFont& font) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setFont(font);
  label->move(x, y);
  label->resize(parent->width() - x - 8, 28);
  return label;
}

}  // namespace

TForm1::TForm1(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("Form1");
  setWindowTitle("Render");
  setFixedSize(kClientWidth, kClientHeight);
  QFont title("Times New Roman");
  title.setPixelSize(19);
  title.setBold(true);
  Label1 = MakeLabel(this, "Label1", "Now Adding:", 16, 16, title);
  QFont adding = font();
  adding.setPixelSize(19);
  adding.setBold(true);
  adding.setItalic(true);
  Label2 = MakeLabel(this, "Label2", QString(), 40, 56, adding);
  if (const QScreen* screen = QApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void TForm1::Render(RenderHost& host) {
  Run([&](RenderFlow& flow, RenderProgress& progress) {
    flow.RendorClick(host, AppPrompts(), progress);
  });
}

void TForm1::Run(const std::function<void(RenderFlow&, RenderProgress&)>& work) {
  if (Rendering()) return;
  busy_ = true;
  RunGuarded(AppPrompts(), [&] { work(flow_, *this); });
  busy_ = false;
}

void TForm1::Begin(std::int64_t total) {
  total_ = total;
  Label2->clear();
  show();
  if (progressBar_) {
    progressBar_->setRange(0, kProgressSteps);
    progressBar_->setValue(0);
    progressBar_->show();
  }
  lastEvents_ = {};
}

void TForm1::Advance(std::int64_t done) {
  if (!progressBar_ || total_ <= 0) return;
  progressBar_->setValue(static_cast<int>(done * kProgressSteps / total_));
}

void TForm1::Adding(const std::string& text) {
  Label2->setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

bool TForm1::Cancelled() {
  const auto now = std::chrono::steady_clock::now();
  if (now - lastEvents_ >= eventInterval_) {
    lastEvents_ = now;
    QApplication::processEvents();
  }
  return stopPressed_ && stopPressed_();
}

void TForm1::End() {
  if (progressBar_) {
    progressBar_->setValue(0);
    progressBar_->hide();
  }
  hide();
}
