// TSequence: construction, layout, menu and tool bar.
#include "pattern/Sequencer.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <climits>

#include "common/Guard.h"
#include "common/QtPrompts.h"
#include "common/QtUiThread.h"
#include "common/Text.h"
#include "pattern/Icons.h"
#include "pattern/StepGridView.h"
#include "song/Toggles.h"

namespace {
QString Latin1(const std::string& s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

QLabel* BoldLabel(const QString& text) {
  auto* label = new QLabel(text);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  return label;
}

QToolButton* SmallButton(ToolIcon icon, const QString& hint, QSize size = {28, 28}) {
  auto* button = new QToolButton;
  button->setIcon(MakeToolIcon(icon));
  button->setToolTip(hint);
  button->setAccessibleName(hint);
  button->setAutoRaise(false);
  button->setFixedSize(size);
  return button;
}

// A list with its bold caption above and its buttons in a column beside it.
QWidget* ListPanel(const QString& caption, QListWidget* list, const std::vector<QWidget*>& top,
                   QWidget* bottom) {
  auto* panel = new QWidget;
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(4, 0, 4, 0);
  grid->setSpacing(4);
  grid->addWidget(BoldLabel(caption), 0, 0, 1, 2);
  auto* buttons = new QVBoxLayout;
  buttons->setSpacing(4);
  for (QWidget* button : top) buttons->addWidget(button);
  buttons->addStretch(1);
  buttons->addWidget(bottom);
  grid->addWidget(list, 1, 0);
  grid->addLayout(buttons, 1, 1);
  grid->setRowStretch(1, 1);
  list->setAccessibleName(caption);
  return panel;
}

}  // namespace

TSequence::TSequence(QWidget* parent)
    : QMainWindow(parent),
      DXWaveList1(QtUiThread::Instance()),
      engine_(QtUiThread::Instance(), *this, playbackSound_) {
  setObjectName("Sequence");
  setWindowTitle("Korvanto Pro v6.0");
  auto* client = new QWidget(this);
  setCentralWidget(client);
  BuildToolBar();
  addToolBar(ToolBar1);
  BuildPanels(client);
  BuildMenu();
  BuildUndo();
  // Qt's own overflow buttons, shown when the window is too narrow.
  for (auto* button : findChildren<QToolButton*>("qt_toolbar_ext_button"))
    button->setAccessibleName("More tool bar buttons");
  for (auto* button : findChildren<QToolButton*>("qt_menubar_ext_button"))
    button->setAccessibleName("More menus");
  qApp->installEventFilter(this);
  // The designed size, wide enough for the tool bar and whole cells.
  resize(std::max(kDesignWidth, ToolBar1->sizeHint().width() + 8), 538);
  engine_.OnError = [this](const std::string& message) { ShowErrorLater(this, message); };
  FormCreate();
}

TSequence::~TSequence() {
  qApp->removeEventFilter(this);
}

bool TSequence::Guarded(const std::function<void()>& action) {
  return RunGuarded(AppPrompts(), action);
}

QToolButton* TSequence::AddToolButton(int icon, const QString& hint, void (TSequence::*handler)()) {
  auto* button = new QToolButton(ToolBar1);
  button->setIcon(MakeToolIcon(static_cast<ToolIcon>(icon)));
  button->setToolTip(hint);
  button->setAccessibleName(hint);
  button->setAutoRaise(true);
  ToolBar1->addWidget(button);
  connect(button, &QToolButton::clicked, this,
          [this, handler] { Guarded([&] { (this->*handler)(); }); });
  return button;
}

void TSequence::BuildToolBar() {
  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setIconSize(QSize(18, 18));
  ToolBar1->setMovable(false);
  ToolBar1->setContentsMargins(0, 0, 0, 0);
  ToolBar1->setStyleSheet("QToolBar { spacing: 0px; padding: 0px; } QToolButton { padding: 1px; }");
  QFont small = ToolBar1->font();
  small.setPointSize(8);
  ToolBar1->setFont(small);
  auto icon = [](ToolIcon i) { return static_cast<int>(i); };
  ToolButton1 = AddToolButton(icon(ToolIcon::Play), "Play pattern", &TSequence::BitBtn3Click);
  ToolButton2 = AddToolButton(icon(ToolIcon::Stop), "Stop", &TSequence::BitBtn4Click);
  ToolButton3 =
      AddToolButton(icon(ToolIcon::RepeatPattern), "Repeat pattern", &TSequence::ToolButton3Click);
  ToolBar1->addSeparator();
  ToolButton5 = AddToolButton(icon(ToolIcon::RenderWave), "Convert play list to WAVE",
                              &TSequence::RendorClick);
  ToolButton6 =
      AddToolButton(icon(ToolIcon::ClearList), "Clear play list", &TSequence::BitBtn10Click);
  ToolButton7 =
      AddToolButton(icon(ToolIcon::PlayList), "Play, play list", &TSequence::BitBtn12Click);
  ToolButton8 =
      AddToolButton(icon(ToolIcon::RepeatList), "Repeat play list", &TSequence::ToolButton8Click);
  ToolBar1->addSeparator();
  ToolButton10 =
      AddToolButton(icon(ToolIcon::PlaySample), "Play selected sample", &TSequence::BitBtn11Click);
  auto* label3 = new QLabel("Time/Beat ", ToolBar1);
  label3->setObjectName("Label3");
  ToolBar1->addWidget(label3);
  TimeBar = new QComboBox(ToolBar1);
  TimeBar->setObjectName("TimeBar");
  TimeBar->setEditable(true);
  TimeBar->setToolTip("Time/Beat Selector");
  TimeBar->setAccessibleName("Time/Beat Selector");
  for (const auto& entry : TimeBarEntries()) TimeBar->addItem(Latin1(entry));
  TimeBar->setCurrentIndex(-1);
  TimeBar->setMinimumContentsLength(7);  // "16 | 16" whole
  TimeBar->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  ToolBar1->addWidget(TimeBar);
  connect(TimeBar, &QComboBox::currentTextChanged, this,
          [this] { Guarded([&] { TimeBarChange(); }); });
  ToolButton13 = AddToolButton(icon(ToolIcon::UpdateTime), "Update time/beat to pattern",
                               &TSequence::BitBtn13Click);
  ToolBar1->addSeparator();
  ToolButton14 =
      AddToolButton(icon(ToolIcon::SavePattern), "Save pattern", &TSequence::BitBtn6Click);
  Edit2 = new QLineEdit("Name", ToolBar1);
  Edit2->setObjectName("Edit2");
  Edit2->setToolTip("Pattern Name");
  Edit2->setAccessibleName("Pattern Name");
  QFont bold = Edit2->font();
  bold.setBold(true);
  Edit2->setFont(bold);
  Edit2->setFixedWidth(96);
  ToolBar1->addWidget(Edit2);
  connect(Edit2, &QLineEdit::textChanged, this, [this] { Guarded([&] { Edit2Change(); }); });
  ToolButton16 =
      AddToolButton(icon(ToolIcon::ClearPattern), "Clear pattern", &TSequence::BitBtn7Click);
  Loop = new QSpinBox(ToolBar1);
  Loop->setObjectName("Loop");
  Loop->setToolTip("Set loops in pattern");
  Loop->setAccessibleName("Set loops in pattern");
  Loop->setRange(INT_MIN, INT_MAX);
  Loop->setValue(1);
  Loop->setFixedWidth(48);
  ToolBar1->addWidget(Loop);
  connect(Loop, &QSpinBox::valueChanged, this, [this] { Guarded([&] { LoopChange(); }); });
  ToolBar1->addSeparator();
  ToolButton19 = AddToolButton(icon(ToolIcon::GlobalSpeed), "Set as global speed.",
                               &TSequence::ToolButton19Click);
}

void TSequence::BuildPanels(QWidget* client) {
  Image1 = new QLabel(client);
  Image1->setObjectName("Image1");
  Image1->setScaledContents(true);
  Image1->lower();

  auto* panels = new QWidget;
  panels->setObjectName("Panels");
  auto* row = new QHBoxLayout(panels);
  row->setContentsMargins(0, 4, 4, 2);
  row->setSpacing(2);
  row->addWidget(BuildLibraryPanel(), 1);
  row->addWidget(BuildPlayListPanel(), 1);
  row->addWidget(BuildTempoBar());
  row->addWidget(BuildInstrumentsPanel());

  ProgressBar1 = new QProgressBar;
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setAccessibleName("Render progress");
  ProgressBar1->setFixedHeight(9);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->hide();

  StringGrid1 = new StepGridView(grid_);
  StringGrid1->setObjectName("StringGrid1");
  StringGrid1->setAccessibleName("Step grid");
  connect(StringGrid1, &StepGridView::MouseUp, this,
          [this](Qt::MouseButton b) { Guarded([&] { StringGrid1MouseUp(b); }); });
  connect(StringGrid1, &StepGridView::DeletePressed, this,
          [this] { Guarded([&] { StringGrid1KeyDown(); }); });
  connect(StringGrid1, &StepGridView::CharacterTyped, this,
          [this](char c) { Guarded([&] { FormKeyPress(c); }); });
  auto* gridArea = new QWidget;
  auto* gridColumn = new QVBoxLayout(gridArea);
  gridColumn->setContentsMargins(0, 0, 0, 0);
  gridColumn->setSpacing(0);
  gridColumn->addWidget(ProgressBar1);
  gridColumn->addWidget(StringGrid1, 1);

  // The user drags the line between the lists and the grid; a larger window
  // gives most of its height to the grid.
  Splitter = new QSplitter(Qt::Vertical);
  Splitter->setObjectName("Splitter");
  Splitter->setChildrenCollapsible(false);
  Splitter->addWidget(panels);
  Splitter->addWidget(gridArea);
  Splitter->setStretchFactor(0, 1);
  Splitter->setStretchFactor(1, 3);
  auto* column = new QVBoxLayout(client);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(Splitter);
}

QWidget* TSequence::BuildLibraryPanel() {
  MusicLib = new QListWidget;
  MusicLib->setObjectName("MusicLib");
  MusicLib->setMinimumSize(110, 120);
  BitBtn1 = SmallButton(ToolIcon::ArrowRight, "Add to play list");
  BitBtn2 = SmallButton(ToolIcon::ArrowLeft, "Remove from play list");
  LibBin = SmallButton(ToolIcon::Bin, "Delete pattern");
  auto guard = [this](auto handler) { return [this, handler] { Guarded(handler); }; };
  connect(MusicLib, &QListWidget::itemDoubleClicked, this, guard([this] { MusicLibDblClick(); }));
  connect(BitBtn1, &QToolButton::clicked, this, guard([this] { MusicLibDblClick(); }));
  connect(BitBtn2, &QToolButton::clicked, this, guard([this] { BitBtn2Click(); }));
  connect(LibBin, &QToolButton::clicked, this, guard([this] { LibBinClick(); }));
  return ListPanel("Pattern Library", MusicLib, {BitBtn1, BitBtn2}, LibBin);
}

QWidget* TSequence::BuildPlayListPanel() {
  SongList = new QListWidget;
  SongList->setObjectName("SongList");
  SongList->setMinimumSize(110, 120);
  UpDownUp = SmallButton(ToolIcon::ArrowUp, "Move up", {28, 22});
  UpDownDown = SmallButton(ToolIcon::ArrowDown, "Move down", {28, 22});
  SongBin = SmallButton(ToolIcon::Bin, "Remove ticked entries");
  auto guard = [this](auto handler) { return [this, handler] { Guarded(handler); }; };
  connect(UpDownUp, &QToolButton::clicked, this, guard([this] { UpDown1Click(Arrow::Up); }));
  connect(UpDownDown, &QToolButton::clicked, this, guard([this] { UpDown1Click(Arrow::Down); }));
  connect(SongBin, &QToolButton::clicked, this, guard([this] { SongBinClick(); }));
  connect(SongList, &QListWidget::itemPressed, this, [this](QListWidgetItem* item) {
    const int row = SongList->row(item);
    Guarded([&] { SongListMouseDown(row); });
  });
  // The play list has one selection, the core's: a user's move of the
  // highlight (mouse or keys) goes there at once; refreshes only show it.
  connect(SongList, &QListWidget::currentRowChanged, this,
          [this](int row) { playList_.Select(row); });
  connect(SongList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    const int row = SongList->row(item);
    if (row >= 0 && row < playList_.Count())
      playList_.SetChecked(row, item->checkState() == Qt::Checked);
  });
  return ListPanel("Play List", SongList, {UpDownUp, UpDownDown}, SongBin);
}

QWidget* TSequence::BuildTempoBar() {
  Delay = new QSlider(Qt::Vertical);
  Delay->setObjectName("Delay");
  Delay->setFixedWidth(41);
  Delay->setMinimumHeight(120);
  Delay->setRange(1, 140);
  Delay->setValue(60);
  Delay->setInvertedAppearance(true);
  Delay->setTickPosition(QSlider::TicksBothSides);
  Delay->setTickInterval(1);
  Delay->setToolTip("Tempo");
  Delay->setAccessibleName("Tempo");
  // Only a move by the user changes the tempo; the program's moves don't.
  connect(Delay, &QSlider::actionTriggered, this, [this] {
    QMetaObject::invokeMethod(
        this, [this] { Guarded([&] { DelayChange(); }); }, Qt::QueuedConnection);
  });
  connect(Delay, &QSlider::sliderMoved, this, [this] { Guarded([&] { DelayChange(); }); });
  return Delay;
}

QWidget* TSequence::BuildInstrumentsPanel() {
  auto* instruments = new QFrame;
  instruments->setObjectName("Instruments");
  instruments->setFrameStyle(QFrame::Panel | QFrame::Raised);
  instruments->setFixedWidth(160);
  auto* column = new QVBoxLayout(instruments);
  column->setContentsMargins(8, 6, 8, 6);
  column->setSpacing(2);
  auto* chooserLabel = BoldLabel("Instr&uments");
  column->addWidget(chooserLabel);
  ComboBox1 = new QComboBox;
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->setAccessibleName("Instruments");
  ComboBox1->setEditable(true);
  ComboBox1->setMaxVisibleItems(17);
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  chooserLabel->setBuddy(ComboBox1);
  ShowChooserItems();
  connect(ComboBox1, &QComboBox::currentTextChanged, this,
          [this] { Guarded([&] { ComboBox1Change(); }); });
  column->addWidget(ComboBox1);
  auto* panLabel = BoldLabel("Pa&nning");
  column->addWidget(panLabel);
  Panning = new QSlider(Qt::Horizontal);
  Panning->setObjectName("Panning");
  Panning->setAccessibleName("Panning");
  Panning->setRange(-2000, 2000);
  Panning->setValue(0);
  Panning->setTickInterval(100);
  Panning->setTickPosition(QSlider::TicksBothSides);
  panLabel->setBuddy(Panning);
  connect(Panning, &QSlider::valueChanged, this, [this] { Guarded([&] { PanningChange(); }); });
  connect(Panning, &QSlider::sliderPressed, this, [this] { panDragStart_ = Panning->value(); });
  connect(Panning, &QSlider::sliderReleased, this, [this] { Guarded([&] { PanningReleased(); }); });
  column->addWidget(Panning);
  auto* bpm = BoldLabel("BPM");
  bpm->setAlignment(Qt::AlignCenter);
  column->addWidget(bpm);
  Label6 = new QLabel;
  Label6->setObjectName("Label6");
  Label6->setAccessibleName("Beats per minute");
  Label6->setAlignment(Qt::AlignCenter);
  QFont big = Label6->font();
  big.setBold(true);
  big.setPointSize(big.pointSize() + 4);
  Label6->setFont(big);
  column->addWidget(Label6);
  column->addStretch(1);
  return instruments;
}

void TSequence::BuildMenu() {
  auto add = [this](QMenu* menu, const QString& caption, const QKeySequence& key,
                    std::function<void()> handler) {
    QAction* action = menu->addAction(caption);
    if (!key.isEmpty()) action->setShortcut(key);
    connect(action, &QAction::triggered, this, [this, handler] { Guarded(handler); });
    return action;
  };
  // Every menu and item opens with Alt and its underlined letter.
  QMenu* file = menuBar()->addMenu("&File");
  add(file, "&New Song", QKeySequence("Ctrl+N"), [this] { New_SongClick(); });
  add(file, "&Open Song", QKeySequence("Ctrl+O"), [this] { BitBtn8Click(); });
  add(file, "&Save Song", QKeySequence("Ctrl+S"), [this] { BitBtn9Click(); });
  add(file, "E&xit", QKeySequence("Ctrl+C"), [this] { Exit1Click(); });
  add(file, "&Render song to wav file", QKeySequence("F11"), [this] { RendorClick(); });
  file->addSeparator();
  BuildExportMenu(file);
  QMenu* edit = menuBar()->addMenu("&Edit");
  EditMenu = edit;
  add(edit, "Clear &Pattern", {}, [this] { BitBtn7Click(); });
  edit->addSeparator();
  add(edit, "Clear &List", {}, [this] { BitBtn10Click(); });
  edit->addSeparator();
  add(edit, "Update &Time", {}, [this] { BitBtn13Click(); });
  InsertInstrumentAction = add(edit, "&Insert instrument", QKeySequence(Qt::Key_Return),
                               [this] { Insertinstrument1Click(); });
  InsertInstrumentAction->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
  edit->addSeparator();
  add(edit, "&Kit List", QKeySequence("Ctrl+K"), [this] { KitList1Click(); });
  add(edit, "&Extra samples", QKeySequence("Ctrl+E"), [this] { ExtraSamplesClick(); });
  add(edit, "Kit &Maker", {}, [this] { KitMakeClick(); });
  QMenu* import = menuBar()->addMenu("&Import");
  add(import, "&Drum Kit Library", {}, [this] { SoundLibrary1Click(); });
  QMenu* options = menuBar()->addMenu("&Options");
  add(options, "&Cell Jump", QKeySequence("Ctrl+J"), [this] { CellJump1Click(); });
  QMenu* play = menuBar()->addMenu("&Play");
  add(play, "Play &Pattern", QKeySequence("F6"), [this] { BitBtn3Click(); });
  add(play, "Play S&ong", QKeySequence("F5"), [this] { BitBtn12Click(); });
  play->addSeparator();
  add(play, "&Stop", QKeySequence("F8"), [this] { BitBtn4Click(); });
  play->addSeparator();
  // Ctrl+S is Save Song's: Play Instrument gets a key of its own.
  add(play, "Play &Instrument", QKeySequence("Ctrl+P"), [this] { BitBtn11Click(); });
  QMenu* help = menuBar()->addMenu("&Help");
  add(help, "&Contents", QKeySequence::HelpContents, [this] { HelpClick(); });
}

// Enter inserts an instrument wherever the focus is: keep the focused control
// from claiming the key before the menu sees it.
bool TSequence::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == 0 &&
        widget && widget->window() == this) {
      event->ignore();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

std::vector<std::string> TSequence::ChooserEntries() const {
  return instruments_.Items();
}

std::string TSequence::ChooserText() const {
  return WithoutControlCharacters(ComboBox1->currentText().toLatin1().toStdString());
}

void TSequence::ShowChooserItems() {
  const QSignalBlocker block(ComboBox1);
  const QString text = ComboBox1->currentText();
  ComboBox1->clear();
  for (const auto& item : instruments_.Items()) ComboBox1->addItem(Latin1(item));
  ComboBox1->setCurrentText(text);
}

void TSequence::RefreshGrid() {
  StringGrid1->Refresh();
  ShowUnsavedMarks();
}

PatternValues TSequence::CurrentValues() const {
  return {Delay->value(), Loop->value()};
}

// The title names the song's file with a star while the play list differs
// from it; the name box turns italic, its tip starred, while the grid
// differs from its pattern file.
void TSequence::ShowUnsavedMarks() {
  setWindowTitle(Latin1(SongTitle(unsaved_.SongFile())) + "[*]");
  setWindowModified(unsaved_.SongChanged(playList_));
  const bool patternChanged = unsaved_.PatternChanged(grid_, CurrentValues());
  QFont font = Edit2->font();
  font.setItalic(patternChanged);
  Edit2->setFont(font);
  Edit2->setToolTip(patternChanged ? "Pattern Name *" : "Pattern Name");
}

void TSequence::RefreshLibrary() {
  MusicLib->clear();
  for (const auto& name : library_.Entries()) MusicLib->addItem(Latin1(name));
}

void TSequence::ShowToggles() {
  ToolButton3->setIcon(
      MakeToolIcon(ToolIcon::RepeatPattern, Toggles::RepeatIsOn(RepeatPatternImage())));
  ToolButton8->setIcon(MakeToolIcon(ToolIcon::RepeatList, Toggles::RepeatIsOn(RepeatListImage())));
  ToolButton19->setIcon(
      MakeToolIcon(ToolIcon::GlobalSpeed, Toggles::GlobalSpeedIsOn(GlobalSpeedImage())));
}
