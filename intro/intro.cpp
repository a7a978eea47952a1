#include "intro/intro.h"

#include <QAudioOutput>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QMediaPlayer>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>
#include <filesystem>

#include "common/QtPrompts.h"

IntroVideoSurface::IntroVideoSurface(QWidget* parent) : QWidget(parent) {
  setObjectName("OleContainer1");
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void IntroVideoSurface::ShowFrame(const QVideoFrame& frame) {
  if (!frame.isValid()) return;
  image_ = frame.toImage();
  update();
}

void IntroVideoSurface::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  if (image_.isNull()) return;
  const QSize size = image_.size().scaled(this->size(), Qt::KeepAspectRatio);
  QRect target(QPoint(0, 0), size);
  target.moveCenter(rect().center());
  painter.drawImage(target, image_);
}

TIntroScreen::TIntroScreen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("IntroScreen");
  setWindowTitle("IntroScreen");
  // Closing the start-up screen never ends the program.
  setAttribute(Qt::WA_QuitOnClose, false);
  setFixedSize(kClientWidth, kClientHeight);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setGeometry(0, 8, 453, 225);
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setFrameShadow(QFrame::Raised);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, &TIntroScreen::Timer1Timer);

  FormCreate();
}

TIntroScreen::~TIntroScreen() {
  if (MediaPlayer1) MediaPlayer1->stop();
}

void TIntroScreen::FormCreate() {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(std::filesystem::current_path(ec) / kVideoFile, ec)) {
    hide();
    close();
    return;
  }
  show();
  StartVideo();
  ticks_ = 0;
  Timer1->start();
  // Asked once more, as the design does; a playing video goes on.
  MediaPlayer1->play();
}

void TIntroScreen::StartVideo() {
  // GStreamer plays the video; Qt's ffmpeg back end is never used.
  qputenv("QT_MEDIA_BACKEND", "gstreamer");

  OleContainer1 = new IntroVideoSurface(this);
  OleContainer1->setGeometry(8, 16, 436, 210);
  OleContainer1->installEventFilter(this);
  OleContainer1->show();
  OleContainer1->setFocus();

  MediaPlayer1 = new QMediaPlayer(this);
  MediaPlayer1->setObjectName("MediaPlayer1");
  MediaPlayer1->setAudioOutput(new QAudioOutput(MediaPlayer1));
  sink_ = new QVideoSink(this);
  MediaPlayer1->setVideoSink(sink_);
  connect(sink_, &QVideoSink::videoFrameChanged, OleContainer1, &IntroVideoSurface::ShowFrame);
  connect(MediaPlayer1, &QMediaPlayer::errorOccurred, this,
          [this](QMediaPlayer::Error, const QString& text) { ReportVideoError(text); });
  const auto path = std::filesystem::absolute(kVideoFile);
  MediaPlayer1->setSource(QUrl::fromLocalFile(QString::fromStdString(path.string())));
  MediaPlayer1->play();
}

void TIntroScreen::ReportVideoError(const QString& text) {
  // One report per video; the screen still goes on the timer, a key or a click.
  if (videoFailed_) return;
  videoFailed_ = true;
  const std::string message =
      (text.isEmpty() ? QStringLiteral("The video %1 can't be played").arg(kVideoFile) : text)
          .toStdString();
  // Reported from the event loop, not from inside the player's signal.
  QTimer::singleShot(0, this,
                     [message] { AppPrompts().Message(message, "Korvanto", PromptButtons::Ok); });
}

void TIntroScreen::Timer1Timer() {
  const int taken = ticks_++;
  if (taken == kTicksShown - 1) {
    // The video is left to run out on this path.
    Timer1->stop();
    hide();
    close();
  }
}

void TIntroScreen::OleContainer1KeyDown() {
  if (MediaPlayer1) MediaPlayer1->stop();
  Dismiss();
}

void TIntroScreen::OleContainer1MouseDown() {
  if (MediaPlayer1) MediaPlayer1->stop();
  Dismiss();
}

void TIntroScreen::Dismiss() {
  Timer1->stop();
  hide();
  close();
}

bool TIntroScreen::eventFilter(QObject* watched, QEvent* event) {
  if (watched == OleContainer1) {
    if (event->type() == QEvent::KeyPress) {
      OleContainer1KeyDown();
      return true;
    }
    if (event->type() == QEvent::MouseButtonPress) {
      OleContainer1MouseDown();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}
