#pragma once
// TIntroScreen, the start-up screen: a borderless window on top of the others
// that plays "Korvanto.avi" from the current folder and goes away on the
// tenth one-second tick or at the first key or click. Without the file it
// never shows.
#include <QWidget>

class QFrame;
class QMediaPlayer;
class QTimer;
class QVideoFrame;
class QVideoSink;

// The surface the video is drawn on; it has the keyboard focus.
class IntroVideoSurface : public QWidget {
  Q_OBJECT
 public:
  explicit IntroVideoSurface(QWidget* parent = nullptr);
  void ShowFrame(const QVideoFrame& frame);
  bool HasFrame() const { return !image_.isNull(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
};

class TIntroScreen : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 452;
  static constexpr int kClientHeight = 231;
  static constexpr int kTicksShown = 10;
  static constexpr const char* kVideoFile = "Korvanto.avi";

  // Runs FormCreate: shows the window and starts the video, or stays hidden.
  explicit TIntroScreen(QWidget* parent = nullptr);
  ~TIntroScreen() override;

  // Components; the player and the surface exist only when the file does.
  QFrame* Panel1 = nullptr;
  IntroVideoSurface* OleContainer1 = nullptr;
  QMediaPlayer* MediaPlayer1 = nullptr;
  QTimer* Timer1 = nullptr;

  int Ticks() const { return ticks_; }
  // Whether the player reported that the video can't be played.
  bool VideoFailed() const { return videoFailed_; }

  // Handlers; Timer1Timer is also how tests drive the seconds.
  void FormCreate();
  void Timer1Timer();
  void OleContainer1KeyDown();
  void OleContainer1MouseDown();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void StartVideo();
  void ReportVideoError(const QString& text);
  void Dismiss();

  QVideoSink* sink_ = nullptr;
  int ticks_ = 0;
  bool videoFailed_ = false;
};
