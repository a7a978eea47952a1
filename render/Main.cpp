#include "render/Main.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <filesystem>

#include "common/Guard.h"
#include "common/QtPrompts.h"
#include "common/QtUiThread.h"
#include "kit/SoundImport.h"
#include "kit/WaveformView.h"
#include "render/SampleControlTexts.h"
#include "render/SemitoneSteps.h"

namespace {

QString FromLatin1(const std::string& s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// The semitone buttons: a small arrow; the image under each is the pressed look.
QPixmap ArrowPixmap(int width, bool up, bool pressed) {
  // Drawn at the screen's scale, so the arrows stay sharp on high-DPI screens.
  const qreal scale = std::max<qreal>(1.0, qGuiApp->devicePixelRatio());
  QPixmap pixmap(qRound(width * scale), qRound(13 * scale));
  pixmap.setDevicePixelRatio(scale);
  pixmap.fill(pressed ? QColor(96, 96, 96) : QColor(192, 192, 192));
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(pressed ? QColor(255, 255, 255) : QColor(0, 0, 128));
  const int mid = width / 2;
  QPolygon arrow = up ? QPolygon({QPoint(mid, 2), QPoint(width - 3, 10), QPoint(2, 10)})
                      : QPolygon({QPoint(2, 3), QPoint(width - 3, 3), QPoint(mid, 11)});
  painter.drawPolygon(arrow);
  return pixmap;
}

QLabel* MakeImage(QWidget* client, const char* name, QRect geometry, bool up, bool pressed) {
  auto* image = new QLabel(client);
  image->setObjectName(name);
  image->setGeometry(geometry);
  image->setPixmap(ArrowPixmap(geometry.width(), up, pressed));
  return image;
}

QLabel* MakeValueLabel(QWidget* client, const char* name, int y) {
  auto* label = new QLabel(client);
  label->setObjectName(name);
  label->setGeometry(208, y, TMainForm::kClientWidth - 208 - 4, 14);
  return label;
}

QLabel* MakeLabel(QWidget* client, const char* name, const char* text, QPoint at) {
  auto* label = new QLabel(text, client);
  label->setObjectName(name);
  label->move(at);
  label->adjustSize();
  return label;
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowMinMaxButtonsHint);
  // The designed sizes fit a small 8-point face.
  QFont small = font();
  small.setPointSize(8);
  setFont(small);
  auto* client = new QWidget(this);
  client->setFixedSize(kClientWidth, kClientHeight);
  client->setAutoFillBackground(true);
  QPalette shadow = client->palette();
  shadow.setColor(QPalette::Window, shadow.color(QPalette::Dark));
  client->setPalette(shadow);
  setCentralWidget(client);
  BuildControls(client);
  BuildMenu();
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  DXSound.AutoInitialize = true;
  DXSound.SetOptions(soGlobalFocus | soStickyFocus | soExclusive);
  DXSound.Loaded();
  editor_ = std::make_unique<SampleEditor>(
      DXSound, QtUiThread::Instance(), std::filesystem::current_path(),
      [](const std::function<void()>& action) { RunGuarded(AppPrompts(), action); });
  editor_->OnChanged = [this] { Refresh(); };
  FormCreate();
  Refresh();
  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

TMainForm::~TMainForm() {
  // The slots go before the device they play on.
  editor_.reset();
}

void TMainForm::FormCreate() {
  Guarded([this] { editor_->FormCreate(); });
}

void TMainForm::BuildControls(QWidget* client) {
  Label1 = MakeLabel(client, "Label1", "Pitch by semitone", QPoint(4, 4));
  // The pressed looks first, so that the buttons lie on top of them.
  Image3 = MakeImage(client, "Image3", QRect(104, 8, 13, 13), false, true);
  Image4 = MakeImage(client, "Image4", QRect(124, 8, 17, 13), true, true);
  Image1 = MakeImage(client, "Image1", QRect(104, 8, 13, 13), false, false);
  Image2 = MakeImage(client, "Image2", QRect(124, 8, 17, 13), true, false);
  Image1->setToolTip("Down a semitone (Space)");
  Image2->setToolTip("Up a semitone (Space)");
  Image1->setAccessibleName("Down a semitone");
  Image2->setAccessibleName("Up a semitone");
  for (QLabel* image : {Image1, Image2}) {
    image->setCursor(Qt::PointingHandCursor);
    // Reached with Tab and pressed with Space or Enter, as a button is.
    image->setFocusPolicy(Qt::StrongFocus);
    image->setStyleSheet("QLabel:focus { border: 1px dotted palette(text); }");
    image->installEventFilter(this);
  }

  using C = SampleEditorControls;
  FrequencyTrackBar =
      AddTrackBar(client, "FrequencyTrackBar", 24, C::kFrequencyMin, C::kFrequencyMax);
  FrequencyTrackBar->setPageStep(1100);
  // One tick per position would be a solid band here; a tick every page.
  FrequencyTrackBar->setTickInterval(1100);
  FrequencyLabel = MakeLabel(client, "FrequencyLabel", "Pitch", QPoint(208, 32));
  VolumeTrackBar = AddTrackBar(client, "VolumeTrackBar", 64, C::kVolumeMin, C::kVolumeMax);
  VolumeLabel = MakeLabel(client, "VolumeLabel", "Volume", QPoint(208, 72));
  PanTrackBar = AddTrackBar(client, "PanTrackBar", 104, C::kPanMin, C::kPanMax);
  PanLabel = MakeLabel(client, "PanLabel", "Pan", QPoint(208, 112));
  FrequencyValue = MakeValueLabel(client, "FrequencyValue", 46);
  VolumeValue = MakeValueLabel(client, "VolumeValue", 86);
  PanValue = MakeValueLabel(client, "PanValue", 126);
  FrequencyTrackBar->setAccessibleName("Pitch");
  VolumeTrackBar->setAccessibleName("Volume");
  PanTrackBar->setAccessibleName("Pan");
  Connect(FrequencyTrackBar, &TMainForm::FrequencyTrackBarChange);
  Connect(VolumeTrackBar, &TMainForm::VolumeTrackBarChange);
  Connect(PanTrackBar, &TMainForm::PanTrackBarChange);

  PlayButton = new QPushButton("&Play", client);
  PlayButton->setObjectName("PlayButton");
  PlayButton->setGeometry(24, 144, 41, 25);
  Connect(PlayButton, &TMainForm::PlayButtonClick);
  PlayButton->setToolTip("Play the sample");
  PlayButton->setAccessibleName("Play");
  Button1 = new QPushButton("OK", client);
  Button1->setObjectName("Button1");
  Button1->setGeometry(72, 144, 41, 25);
  Connect(Button1, &TMainForm::Button1Click);
  Button1->setToolTip("Stop the sample and close the editor");
  Button1->setAccessibleName("OK");

  Waveform = new WaveformView(client);
  Waveform->setObjectName("Waveform");
  Waveform->setGeometry(8, kWaveformTop, kClientWidth - 16, kClientHeight - kWaveformTop - 4);
  Waveform->setAccessibleName("Waveform of the sample");
  playLineTimer_ = new QTimer(this);
  playLineTimer_->setInterval(kPlayLineMs);
  connect(playLineTimer_, &QTimer::timeout, this, [this] { ShowPlayingFrame(); });
}

QSlider* TMainForm::AddTrackBar(QWidget* client, const char* name, int y, int min, int max) {
  auto* bar = new QSlider(Qt::Horizontal, client);
  bar->setObjectName(name);
  bar->setGeometry(8, y, 193, 33);
  bar->setRange(min, max);
  bar->setSingleStep(0);
  bar->setPageStep(2);
  bar->setTickPosition(QSlider::TicksBelow);
  bar->setTickInterval(1);
  return bar;
}

void TMainForm::BuildMenu() {
  FileMenu = menuBar()->addMenu("&File");
  FileMenu->setObjectName("FileMenu");
  FileOpen = FileMenu->addAction("&Open");
  FileOpen->setObjectName("FileOpen");
  FileClose = FileMenu->addAction("&Close");
  FileClose->setObjectName("FileClose");
  FileMenu->addSeparator();
  FileEnd = FileMenu->addAction("E&xit");
  FileEnd->setObjectName("FileEnd");
  O1 = menuBar()->addMenu("&Option");
  O1->setObjectName("O1");
  GlobalFocusItem = O1->addAction("&GlobalFocus");
  GlobalFocusItem->setObjectName("GlobalFocusItem");
  GlobalFocusItem->setCheckable(true);
  GlobalFocusItem->setChecked(true);
  Connect(FileOpen, &TMainForm::FileOpenClick);
  Connect(FileClose, &TMainForm::FileCloseClick);
  Connect(FileEnd, &TMainForm::FileEndClick);
  Connect(GlobalFocusItem, &TMainForm::GlobalFocusItemClick);
}

// User actions only: a bar's valueChanged is blocked while Refresh sets it,
// and buttons and menu items report clicks and triggers alone.
void TMainForm::Connect(QObject* sender, void (TMainForm::*handler)()) {
  auto run = [this, handler] { Guarded([&] { (this->*handler)(); }); };
  if (auto* bar = qobject_cast<QSlider*>(sender))
    connect(bar, &QSlider::valueChanged, this, run);
  else if (auto* button = qobject_cast<QPushButton*>(sender))
    connect(button, &QPushButton::clicked, this, run);
  else if (auto* action = qobject_cast<QAction*>(sender))
    connect(action, &QAction::triggered, this, run);
}

void TMainForm::Guarded(const std::function<void()>& action) {
  RunGuarded(AppPrompts(), action);
  Refresh();
  if (OnUserAction) OnUserAction();
}

bool TMainForm::PressesImage(QObject* watched, QEvent* event) const {
  if (watched != Image1 && watched != Image2) return false;
  if (event->type() == QEvent::MouseButtonRelease)
    return static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  return !key->isAutoRepeat() && (key->key() == Qt::Key_Space || key->key() == Qt::Key_Return ||
                                  key->key() == Qt::Key_Enter);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (PressesImage(watched, event)) {
    if (watched == Image1) {
      Guarded([this] { Image1Click(); });
      return true;
    }
    if (watched == Image2) {
      Guarded([this] { Image2Click(); });
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::Refresh() {
  const SampleEditorControls& c = editor_->Controls();
  setWindowTitle(FromLatin1(c.caption));
  PlayButton->setEnabled(c.playEnabled);
  for (QSlider* bar : {FrequencyTrackBar, VolumeTrackBar, PanTrackBar}) {
    bar->setEnabled(c.barsEnabled);
  }
  const QSignalBlocker f(FrequencyTrackBar), v(VolumeTrackBar), p(PanTrackBar);
  FrequencyTrackBar->setValue(c.frequencyBar);
  VolumeTrackBar->setValue(c.volumeBar);
  PanTrackBar->setValue(c.panBar);
  GlobalFocusItem->setChecked(c.globalFocusChecked);
  ShowValues();
  Waveform->SetPeaks(editor_->Waveform());
  ShowPlayingFrame();
}

void TMainForm::ShowPlayingFrame() {
  int64_t frame = -1;
  try {
    frame = editor_->PlayingFrame();
  } catch (const std::exception&) {
    // Playing reports its own errors; the line just isn't drawn.
  }
  Waveform->SetPlayFrame(frame);
  if (frame < 0)
    playLineTimer_->stop();
  else if (!playLineTimer_->isActive())
    playLineTimer_->start();
}

// Each bar's value beside it, and spoken as its tool tip and description.
void TMainForm::ShowValues() {
  const SampleEditorControls& c = editor_->Controls();
  const struct {
    QSlider* bar;
    QLabel* value;
    ControlValueText text;
  } shown[] = {{FrequencyTrackBar, FrequencyValue, PitchText(c.frequency, c.fileRate)},
               {VolumeTrackBar, VolumeValue, VolumeText(c.volumeBar)},
               {PanTrackBar, PanValue, PanText(c.panBar)}};
  for (const auto& [bar, value, text] : shown) {
    value->setText(FromLatin1(text.shown));
    value->setAccessibleName(FromLatin1(text.spoken));
    bar->setToolTip(FromLatin1(text.spoken));
    bar->setAccessibleDescription(FromLatin1(text.spoken));
  }
}

void TMainForm::SetCurrentSlot(int n) {
  editor_->SetCurrentSlot(n);
}

void TMainForm::SetCaption(const std::string& caption) {
  editor_->SetCaption(caption);
  Refresh();
}

void TMainForm::LoadSlotControls(int n) {
  try {
    editor_->LoadSlotControls(n);
  } catch (...) {
    Refresh();
    throw;
  }
  Refresh();
}

void TMainForm::MarkHoldingSample() {
  editor_->MarkHoldingSample();
  Refresh();
}

void TMainForm::SetSlotButtonCaptionHandler(
    std::function<void(int slot, const std::string& caption)> handler) {
  editor_->OnSlotButtonCaption = std::move(handler);
}

void TMainForm::FileOpenClick() {
  if (editor_->CurrentSlot() < 1) return;
  FileRequest request;
  request.title = "Open";
  request.filter = kSoundFileFilter;
  request.defaultSuffix = "wav";
  request.folderKind = "samples";
  const std::optional<std::string> path = AppPrompts().OpenFile(request);
  if (!path) return;
  editor_->OpenFile(*path);
}

void TMainForm::FileCloseClick() {
  editor_->FileCloseClick();
}

void TMainForm::FileEndClick() {
  hide();
}

void TMainForm::PanTrackBarChange() {
  editor_->PanTrackBarChange(PanTrackBar->value());
}

void TMainForm::VolumeTrackBarChange() {
  editor_->VolumeTrackBarChange(VolumeTrackBar->value());
}

void TMainForm::FrequencyTrackBarChange() {
  editor_->FrequencyTrackBarChange(FrequencyTrackBar->value());
}

void TMainForm::PlayButtonClick() {
  editor_->PlayButtonClick();
}

void TMainForm::Image1Click() {
  SemitoneClick(Image1, -kSemitoneCents);
}

void TMainForm::Image2Click() {
  SemitoneClick(Image2, kSemitoneCents);
}

// The clicked image hides while the step runs, so the pressed look under it
// shows; it comes back also when the step fails.
void TMainForm::SemitoneClick(QLabel* image, int step) {
  if (editor_->CurrentSlot() < 1 || editor_->Slots().Empty(editor_->CurrentSlot())) return;
  // A key press keeps the focus on the image it pressed.
  const bool focused = image->hasFocus();
  image->hide();
  struct ShowAgain {
    QLabel* image;
    bool focused;
    ~ShowAgain() {
      image->show();
      if (focused) image->setFocus(Qt::OtherFocusReason);
    }
  } showAgain{image, focused};
  QCoreApplication::processEvents();
  editor_->SemitoneStep(step);
}

void TMainForm::GlobalFocusItemClick() {
  editor_->GlobalFocusItemClick();
}

void TMainForm::Button1Click() {
  editor_->Button1Click();
  hide();
}
