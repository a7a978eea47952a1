#include "kit/MakeKit.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/Exception.h"
#include "common/Guard.h"
#include "common/QtPrompts.h"
#include "common/QtUiThread.h"
#include "kit/SoundImport.h"
#include "kit/WaveCollection.h"
#include "kit/WaveformView.h"
#include "pattern/Icons.h"

namespace {

QString FromLatin1(const std::string& s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

constexpr int kRowTop = 8;
constexpr int kRowStep = 24;
constexpr int kFileLeft = 190;
constexpr int kFileWidth = 165;
constexpr int kRowWaveformLeft = kFileLeft + kFileWidth + 4;
constexpr int kRowWaveformWidth = 64;

// "hit.wav, 0.25 s", or that the row has no sound.
QString RowFileText(const KitMaker& maker, int row) {
  if (!maker.RowHasSound(row)) return "(no sound)";
  return FromLatin1(maker.RowFileName(row)) + ", " +
         QString::number(maker.RowSeconds(row), 'f', 2) + " s";
}

// "Tom2, Samp and 3 more": the names of the rows, a few of them.
std::string RowList(const KitMaker& maker, const std::vector<int>& rows) {
  constexpr size_t kShown = 6;
  std::string list;
  for (size_t i = 0; i < rows.size() && i < kShown; ++i) {
    const std::string& name = maker.RowName(rows[i]);
    list += (i ? ", " : "") + (name.empty() ? std::string("(unnamed)") : name);
  }
  if (rows.size() > kShown) list += " and " + std::to_string(rows.size() - kShown) + " more";
  return list;
}

const char* const kSavedNotice =
    "*NB - Due to any name changes within the new kit, patterns that do not contain the new "
    "names of the individual kits items will not play and will be specific to only patterns you "
    "create using the new kit. please import your new kit to use it";

}  // namespace

TMakit::TMakit(QWidget* parent) : QMainWindow(parent) {
  setObjectName("Makit");
  setWindowTitle("Kit maker");
  BuildToolBar();
  auto* client = new QWidget(this);
  auto* column = new QVBoxLayout(client);
  column->setContentsMargins(0, 0, 0, 4);
  ScrollBox1 = new QScrollArea(client);
  ScrollBox1->setObjectName("ScrollBox1");
  ScrollBox1->setWidgetResizable(false);
  column->addWidget(ScrollBox1, 1);
  Waveform = new WaveformView(client);
  Waveform->setObjectName("Waveform");
  Waveform->setFixedHeight(kWaveformHeight);
  Waveform->setAccessibleName("Waveform of the selected sound");
  column->addWidget(Waveform);
  setCentralWidget(client);
  playLineTimer_ = new QTimer(this);
  playLineTimer_->setInterval(kPlayLineMs);
  connect(playLineTimer_, &QTimer::timeout, this, [this] { ShowPlayingFrame(); });
  resize(kClientWidth, kClientHeight);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  DXSound.AutoInitialize = true;
  DXSound.OnFinalize = [this](TDXSound&) { DXSoundFinalize(); };
  maker_ = std::make_unique<KitMaker>(DXSound, QtUiThread::Instance());
  maker_->OnError = [this](const std::string& message) { ShowErrorLater(this, message); };
  DXSound.Loaded();
}

TMakit::~TMakit() {
  // The stream goes before the device it plays on, and the device's last
  // notice must not reach this half-destroyed window.
  DXSound.OnFinalize = nullptr;
  maker_.reset();
}

void TMakit::BuildToolBar() {
  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setMovable(false);
  ToolBar1->setIconSize(QSize(18, 18));
  addToolBar(ToolBar1);
  ToolButton1 = AddToolButton(MakeToolIcon(ToolIcon::PlaySample), "Listern", &TMakit::PlayClick);
  ToolBar1->addSeparator();
  ToolButton5 =
      AddToolButton(MakeToolIcon(ToolIcon::ArrowDown), "Add new sample", &TMakit::ToolButton5Click);
  RemoveButton = AddToolButton(MakeToolIcon(ToolIcon::Bin), "Remove the selected sample",
                               &TMakit::RemoveClick);
  ToolBar1->addSeparator();
  ToolButton7 =
      AddToolButton(MakeToolIcon(ToolIcon::SavePattern), "Save kit", &TMakit::Save_libraryClick);
}

QToolButton* TMakit::AddToolButton(const QIcon& icon, const QString& hint,
                                   void (TMakit::*handler)()) {
  auto* button = new QToolButton(ToolBar1);
  button->setIcon(icon);
  button->setToolTip(hint);
  button->setAutoRaise(true);
  ToolBar1->addWidget(button);
  connect(button, &QToolButton::clicked, this, [this, handler] { (this->*handler)(); });
  return button;
}

void TMakit::Guarded(const std::function<void()>& action) {
  RunGuarded(AppPrompts(), action);
}

void TMakit::KitMakeClick(const TWaveCollection& mainKit, const std::filesystem::path& homeDir,
                          Prompts& prompts) {
  RunGuarded(prompts, [&] {
    // The rows are rebuilt on every command, also when the window is already open.
    GetKitList(mainKit);
    show();
    raise();
    activateWindow();
    const bool templated = prompts.Message("Do you wish to template the current drum kit?",
                                           "Question", PromptButtons::YesNo) == PromptAnswer::Yes;
    // The question took the focus; the kit maker comes to the front again.
    raise();
    activateWindow();
    homeDir_ = homeDir;
    maker_->PrepareKit(mainKit, homeDir, templated);
  });
  Refresh();
}

void TMakit::GetKitList(const TWaveCollection& mainKit) {
  maker_->GetKitList(mainKit);
  RebuildRows();
}

void TMakit::RebuildRows() {
  edits_.clear();
  radios_.clear();
  fileButtons_.clear();
  fileLabels_.clear();
  rowWaveforms_.clear();
  rows_ = new QWidget;
  rows_->setObjectName("Rows");
  ScrollBox1->setWidget(rows_);  // frees the previous rows
  for (int row = 0; row < maker_->RowCount(); ++row) AddRowControls(row);
  ResizeRows();
  Refresh();
}

void TMakit::AddRowControls(int row) {
  const int top = kRowTop + kRowStep * row;
  auto* edit = new QLineEdit(rows_);
  edit->setGeometry(40, top, 120, 21);
  edit->setCursor(Qt::PointingHandCursor);
  QFont font = edit->font();
  font.setPointSize(10);
  font.setBold(true);
  edit->setFont(font);
  connect(edit, &QLineEdit::textEdited, this, [this, row](const QString& text) {
    Guarded([&] { maker_->SetRowName(row, text.toLatin1().toStdString()); });
    Refresh();  // a refused keystroke goes back out of the box
  });

  auto* radio = new QRadioButton(rows_);
  radio->setGeometry(4, top + 2, 17, 17);
  radio->setProperty("tag", row);
  connect(radio, &QRadioButton::clicked, this, [this, row] { GetRadioTag(row); });

  auto* button = new QPushButton("...", rows_);
  button->setGeometry(164, top, 20, 20);
  button->setProperty("tag", row);
  connect(button, &QPushButton::clicked, this, [this, row] { GetButtonTag(row); });

  auto* file = new QLabel(rows_);
  file->setGeometry(kFileLeft, top, kFileWidth, 20);

  auto* waveform = new WaveformView(rows_);
  waveform->setGeometry(kRowWaveformLeft, top, kRowWaveformWidth, 20);

  for (QWidget* w :
       {static_cast<QWidget*>(edit), static_cast<QWidget*>(radio), static_cast<QWidget*>(button),
        static_cast<QWidget*>(file), static_cast<QWidget*>(waveform)})
    w->show();
  edits_.push_back(edit);
  radios_.push_back(radio);
  fileButtons_.push_back(button);
  fileLabels_.push_back(file);
  rowWaveforms_.push_back(waveform);
}

void TMakit::ResizeRows() {
  rows_->resize(kRowWaveformLeft + kRowWaveformWidth,
                kRowTop + kRowStep * static_cast<int>(edits_.size()) + kRowTop);
}

void TMakit::Refresh() {
  for (size_t row = 0; row < edits_.size(); ++row) {
    const int r = static_cast<int>(row);
    const QString name = FromLatin1(maker_->RowName(r));
    if (edits_[row]->text() != name) {
      const QSignalBlocker block(edits_[row]);
      edits_[row]->setText(name);
    }
    const QSignalBlocker block(radios_[row]);
    radios_[row]->setChecked(r == maker_->SelectedRow());
    const QString file = RowFileText(*maker_, r);
    fileLabels_[row]->setText(file);
    fileLabels_[row]->setToolTip(file);
    fileLabels_[row]->setAccessibleName(file);
  }
  RemoveButton->setEnabled(maker_->RowCount() > 0);
  ShowWaveforms();
}

void TMakit::ShowWaveforms() {
  for (size_t row = 0; row < rowWaveforms_.size(); ++row)
    rowWaveforms_[row]->SetPeaks(maker_->RowWaveform(static_cast<int>(row)));
  Waveform->SetPeaks(maker_->RowWaveform(maker_->SelectedRow()));
  ShowPlayingFrame();
}

void TMakit::ShowPlayingFrame() {
  int row = -1;
  int64_t frame = -1;
  try {
    row = maker_->ListeningRow();
    frame = maker_->ListeningFrame();
  } catch (const std::exception&) {
    // Listening reports its own errors; the line just isn't drawn.
  }
  for (size_t r = 0; r < rowWaveforms_.size(); ++r)
    rowWaveforms_[r]->SetPlayFrame(static_cast<int>(r) == row ? frame : -1);
  Waveform->SetPlayFrame(row == maker_->SelectedRow() ? frame : -1);
  if (frame < 0)
    playLineTimer_->stop();
  else if (!playLineTimer_->isActive())
    playLineTimer_->start();
}

void TMakit::GetRadioTag(int tag) {
  Guarded([&] { maker_->SelectRow(tag); });
  Refresh();
}

void TMakit::GetButtonTag(int tag) {
  Guarded([&] { maker_->PickFor(tag); });
  Refresh();
  Load_sampleClick();
}

void TMakit::Load_sampleClick() {
  Guarded([&] {
    FileRequest request;
    request.filter = kSoundFileFilter;
    request.startDir = homeDir_.string();
    request.folderKind = "samples";
    if (const auto path = AppPrompts().OpenFile(request)) maker_->LoadSample(*path);
  });
  Refresh();  // the row's file
}

void TMakit::PlayClick() {
  Guarded([&] { maker_->Play(); });
  ShowPlayingFrame();
}

void TMakit::ToolButton5Click() {
  Guarded([&] {
    ScrollBox1->verticalScrollBar()->setValue(0);
    if (!maker_->AddRow()) {
      AppPrompts().Message(
          "The kit maker holds at most " + std::to_string(KitMaker::kMaxRows) + " instruments",
          "Kit maker", PromptButtons::Ok);
      return;
    }
    AddRowControls(maker_->RowCount() - 1);
    ResizeRows();
    Refresh();
    ScrollBox1->verticalScrollBar()->setValue(ScrollBox1->verticalScrollBar()->maximum());
  });
}

void TMakit::RemoveClick() {
  Guarded([&] {
    const int row = maker_->SelectedRow();
    maker_->RemoveRow(row);
    RebuildRows();
    if (!edits_.empty()) ScrollBox1->ensureWidgetVisible(edits_[maker_->SelectedRow()]);
  });
}

std::optional<bool> TMakit::AskKeepSilentRows() {
  const std::vector<int> silent = maker_->SilentRows();
  if (silent.empty()) return true;
  const PromptAnswer answer =
      AppPrompts().Message("No sound was picked for " + RowList(*maker_, silent) +
                               ". Keep them in the kit as silent instruments?",
                           "Kit maker", PromptButtons::YesNoCancel);
  if (answer == PromptAnswer::Cancel) return std::nullopt;
  return answer == PromptAnswer::Yes;
}

void TMakit::Save_libraryClick() {
  Guarded([&] {
    const std::optional<bool> keepSilent = AskKeepSilentRows();
    if (!keepSilent) return;
    // Refused before the dialog, where the user would choose a file in vain.
    const size_t rows = static_cast<size_t>(maker_->RowCount());
    if ((*keepSilent ? rows : rows - maker_->SilentRows().size()) == 0)
      throw Exception(kNothingToSave);
    FileRequest request;
    request.filter = "*.dxg|*.dxg";
    request.defaultSuffix = "dxg";
    request.startDir = homeDir_.string();
    request.askBeforeOverwrite = true;
    request.folderKind = "kits";
    const auto path = AppPrompts().SaveFile(request);
    if (!path) return;
    maker_->SaveKit(*path, *keepSilent);
    AppPrompts().Message(kSavedNotice, "Korvanto", PromptButtons::Ok);
    close();
  });
}

void TMakit::DXSoundFinalize() {
  if (maker_) maker_->DXSoundFinalize();
}
