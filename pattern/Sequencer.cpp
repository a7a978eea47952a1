// TSequence: construction, the panels, the tool bar and the menus.
#include "pattern/Sequencer.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/Guard.h"
#include "common/QtPrompts.h"
#include "common/QtUiThread.h"
#include "help/AboutBox.h"
#include "pattern/InstrumentPanel.h"
#include "pattern/PanelParts.h"
#include "pattern/PatternPanel.h"
#include "pattern/StepGridView.h"
#include "song/GroovePanel.h"
#include "song/SongPanel.h"
#include "song/SongStatus.h"
#include "song/Toggles.h"

TSequence::TSequence(QWidget* parent)
    : QMainWindow(parent),
      DXWaveList1(QtUiThread::Instance()),
      engine_(QtUiThread::Instance(), playbackHost_, playbackSound_) {
  setObjectName("Sequence");
  setWindowTitle("Korvanto Pro v6.0");
  auto* client = new QWidget(this);
  setCentralWidget(client);
  BuildPanels(client);
  BuildToolBar();
  addToolBar(ToolBar1);
  ConnectPanels();
  BuildMenu();
  BuildHistory();
  // Qt's own overflow buttons, shown when the window is too narrow.
  for (auto* button : findChildren<QToolButton*>("qt_toolbar_ext_button"))
    button->setAccessibleName("More tool bar buttons");
  for (auto* button : findChildren<QToolButton*>("qt_menubar_ext_button"))
    button->setAccessibleName("More menus");
  qApp->installEventFilter(this);
  // The designed size, wide enough for the tool bar and whole cells.
  resize(std::max(kDesignWidth, ToolBar1->sizeHint().width() + 8), 538);
  engine_.OnError = [this](const std::string& message) { ShowErrorLater(this, message); };
  playbackHost_.showBeatsPerMinute = [this](double bpm) {
    instrumentPanel_->ShowBeatsPerMinute(bpm);
  };
  playbackHost_.enablePlayButton = [this](PlayButton button, bool enabled) {
    (button == PlayButton::Pattern ? ToolButton1 : ToolButton7)->setEnabled(enabled);
    if (button == PlayButton::Song && enabled && songStatus_) songStatus_->Clear();
  };
  songStatus_ = new SongStatus(this);
  statusBar()->addWidget(songStatus_, 1);
  BuildOutputMeter();
  playbackSound_.SetMix(&song_.Settings().mix);
  playbackHost_.songPlaceShown = [this](const SongPlace& place) { songStatus_->Show(place); };
  playbackHost_.playListShown = [this] { songPanel_->ShowPlayList(); };
  FormCreate();
}

TSequence::~TSequence() {
  qApp->removeEventFilter(this);
}

bool TSequence::Guarded(const std::function<void()>& action) {
  return RunGuarded(AppPrompts(), action);
}

QToolButton* TSequence::AddToolButton(QToolButton* button, void (TSequence::*handler)()) {
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
  auto button = [this](ToolIcon icon, const QString& hint, void (TSequence::*handler)()) {
    return AddToolButton(BarButton(icon, hint, ToolBar1), handler);
  };
  ToolButton1 = button(ToolIcon::Play, "Play pattern", &TSequence::BitBtn3Click);
  ToolButton2 = button(ToolIcon::Stop, "Stop", &TSequence::BitBtn4Click);
  ToolButton3 = button(ToolIcon::RepeatPattern, "Repeat pattern", &TSequence::ToolButton3Click);
  ToolBar1->addSeparator();
  ToolButton5 = button(ToolIcon::RenderWave, "Convert play list to WAVE", &TSequence::RendorClick);
  ToolButton6 = button(ToolIcon::ClearList, "Clear play list", &TSequence::BitBtn10Click);
  ToolButton7 = button(ToolIcon::PlayList, "Play, play list", &TSequence::BitBtn12Click);
  ToolButton8 = button(ToolIcon::RepeatList, "Repeat play list", &TSequence::ToolButton8Click);
  ToolBar1->addSeparator();
  ToolButton10 = button(ToolIcon::PlaySample, "Play selected sample", &TSequence::BitBtn11Click);
  // The pattern editor's controls stand in the tool bar.
  ToolBar1->addWidget(patternPanel_->Label3);
  ToolBar1->addWidget(TimeBar);
  ToolBar1->addWidget(ToolButton13);
  ToolBar1->addSeparator();
  ToolButton14 = button(ToolIcon::SavePattern, "Save pattern", &TSequence::BitBtn6Click);
  ToolBar1->addWidget(Edit2);
  ToolBar1->addWidget(ToolButton16);
  ToolBar1->addWidget(Loop);
  ToolBar1->addSeparator();
  ToolButton19 =
      button(ToolIcon::GlobalSpeed, "Set as global speed.", &TSequence::ToolButton19Click);
}

void TSequence::BuildPanels(QWidget* client) {
  Image1 = new QLabel(client);
  Image1->setObjectName("Image1");
  Image1->setScaledContents(true);
  Image1->lower();
  songPanel_ = new SongPanel(song_);
  instrumentPanel_ = new InstrumentPanel;
  patternPanel_ = new PatternPanel(song_);
  auto* panels = new QWidget;
  panels->setObjectName("Panels");
  auto* row = new QHBoxLayout(panels);
  row->setContentsMargins(0, 4, 4, 2);
  row->setSpacing(2);
  row->addWidget(songPanel_, 1);
  row->addWidget(instrumentPanel_);
  groovePanel_ = new GroovePanel;
  row->addWidget(groovePanel_, 0, Qt::AlignTop);

  ProgressBar1 = new QProgressBar;
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setAccessibleName("Render progress");
  ProgressBar1->setFixedHeight(9);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->hide();
  auto* gridArea = new QWidget;
  auto* gridColumn = new QVBoxLayout(gridArea);
  gridColumn->setContentsMargins(0, 0, 0, 0);
  gridColumn->setSpacing(0);
  gridColumn->addWidget(ProgressBar1);
  gridColumn->addWidget(patternPanel_, 1);

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

  StringGrid1 = patternPanel_->StringGrid1;
  TimeBar = patternPanel_->TimeBar;
  ToolButton13 = patternPanel_->ToolButton13;
  ToolButton16 = patternPanel_->ToolButton16;
  Edit2 = patternPanel_->Edit2;
  Loop = patternPanel_->Loop;
  Delay = instrumentPanel_->Delay;
  ComboBox1 = instrumentPanel_->ComboBox1;
  Panning = instrumentPanel_->Panning;
  Label6 = instrumentPanel_->Label6;
  BpmBox = instrumentPanel_->BpmBox;
  MusicLib = songPanel_->MusicLib;
  SongList = songPanel_->SongList;
  BitBtn1 = songPanel_->BitBtn1;
  BitBtn2 = songPanel_->BitBtn2;
  LibBin = songPanel_->LibBin;
  SongBin = songPanel_->SongBin;
  UpDownUp = songPanel_->UpDownUp;
  UpDownDown = songPanel_->UpDownDown;
}

// Every user action of a panel reaches its handler inside the error guard.
void TSequence::ConnectPanels() {
  auto to = [this](void (TSequence::*handler)()) {
    return [this, handler] { Guarded([&] { (this->*handler)(); }); };
  };
  auto* p = patternPanel_;
  connect(p, &PatternPanel::CellReleased, this,
          [this](Qt::MouseButton b) { Guarded([&] { StringGrid1MouseUp(b); }); });
  connect(p, &PatternPanel::DeletePressed, this, to(&TSequence::StringGrid1KeyDown));
  connect(p, &PatternPanel::CharacterTyped, this,
          [this](char c) { Guarded([&] { FormKeyPress(c); }); });
  connect(p, &PatternPanel::TimeTextChanged, this, to(&TSequence::TimeBarChange));
  connect(p, &PatternPanel::UpdateTimePressed, this, to(&TSequence::BitBtn13Click));
  connect(p, &PatternPanel::NameEdited, this, to(&TSequence::Edit2Change));
  connect(p, &PatternPanel::ClearPressed, this, to(&TSequence::BitBtn7Click));
  connect(p, &PatternPanel::LoopsChanged, this, to(&TSequence::LoopChange));
  auto* s = songPanel_;
  connect(s, &SongPanel::AddPressed, this, to(&TSequence::MusicLibDblClick));
  connect(s, &SongPanel::RemovePressed, this, to(&TSequence::BitBtn2Click));
  connect(s, &SongPanel::DeletePatternPressed, this, to(&TSequence::LibBinClick));
  connect(s, &SongPanel::RemoveTickedPressed, this, to(&TSequence::SongBinClick));
  connect(s, &SongPanel::ArrowPressed, this,
          [this](Arrow arrow) { Guarded([&] { UpDown1Click(arrow); }); });
  connect(s, &SongPanel::EntryPressed, this,
          [this](int row) { Guarded([&] { SongListMouseDown(row); }); });
  connect(s, &SongPanel::EntryHighlighted, this, [this](int row) { song_.SelectEntry(row); });
  connect(s, &SongPanel::EntryTicked, this, [this](int row, bool ticked) {
    if (row < 0 || row >= song_.List().Count()) return;
    Push(ticked ? "Tick entry" : "Untick entry",
         song_.EditList([&](PlayList& list, PatternLibrary&) { list.SetChecked(row, ticked); }));
  });
  auto* i = instrumentPanel_;
  connect(i, &InstrumentPanel::TempoMoved, this, to(&TSequence::DelayChange));
  connect(i, &InstrumentPanel::TempoTyped, this, to(&TSequence::BpmTyped));
  connect(i, &InstrumentPanel::ChooserChanged, this, to(&TSequence::ComboBox1Change));
  connect(i, &InstrumentPanel::PanMoved, this, to(&TSequence::PanningChange));
  connect(i, &InstrumentPanel::PanGrabbed, this, [this] { panDragStart_ = Panning->value(); });
  connect(i, &InstrumentPanel::PanReleased, this, to(&TSequence::PanningReleased));
  auto groove = [this](MergeKey key) {
    return [this, key] { Guarded([&] { GrooveChange(key); }); };
  };
  connect(groovePanel_, &GroovePanel::SwingEdited, this, groove(MergeKey::Swing));
  connect(groovePanel_, &GroovePanel::TimingEdited, this, groove(MergeKey::HumanizeTiming));
  connect(groovePanel_, &GroovePanel::LoudnessEdited, this, groove(MergeKey::HumanizeLoudness));
}

void TSequence::BuildMenu() {
  auto add = [this](QMenu* menu, const QString& caption, const QKeySequence& key,
                    void (TSequence::*handler)()) {
    QAction* action = menu->addAction(caption);
    if (!key.isEmpty()) action->setShortcut(key);
    connect(action, &QAction::triggered, this,
            [this, handler] { Guarded([&] { (this->*handler)(); }); });
    return action;
  };
  // Every menu and item opens with Alt and its underlined letter.
  QMenu* file = menuBar()->addMenu("&File");
  add(file, "&New Song", QKeySequence("Ctrl+N"), &TSequence::New_SongClick);
  add(file, "&Open Song", QKeySequence("Ctrl+O"), &TSequence::BitBtn8Click);
  BuildRecentMenu(file);
  add(file, "&Save Song", QKeySequence("Ctrl+S"), &TSequence::BitBtn9Click);
  add(file, "Save Song &As...", QKeySequence("Ctrl+Shift+S"), &TSequence::SaveSongAsClick);
  // The desktop's key for it: Ctrl+C is Copy.
  add(file, "E&xit", QKeySequence("Ctrl+Q"), &TSequence::Exit1Click);
  add(file, "&Render song to wav file", QKeySequence("F11"), &TSequence::RendorClick);
  file->addSeparator();
  BuildExportMenu(file);
  editMenu_ = menuBar()->addMenu("&Edit");
  add(editMenu_, "&New Pattern", QKeySequence("Ctrl+Shift+N"), &TSequence::NewPatternClick);
  add(editMenu_, "Clear &Pattern", {}, &TSequence::BitBtn7Click);
  editMenu_->addSeparator();
  add(editMenu_, "C&opy", QKeySequence("Ctrl+C"), &TSequence::CopyClick);
  add(editMenu_, "&Cut", QKeySequence("Ctrl+X"), &TSequence::CutClick);
  add(editMenu_, "P&aste", QKeySequence("Ctrl+V"), &TSequence::PasteClick);
  add(editMenu_, "&Duplicate steps", QKeySequence("Ctrl+D"), &TSequence::DuplicateStepsClick);
  editMenu_->addSeparator();
  add(editMenu_, "Clear &List", {}, &TSequence::BitBtn10Click);
  editMenu_->addSeparator();
  add(editMenu_, "Update &Time", {}, &TSequence::BitBtn13Click);
  InsertInstrumentAction = add(editMenu_, "&Insert instrument", QKeySequence(Qt::Key_Return),
                               &TSequence::Insertinstrument1Click);
  InsertInstrumentAction->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
  editMenu_->addSeparator();
  add(editMenu_, "&Kit List", QKeySequence("Ctrl+K"), &TSequence::KitList1Click);
  add(editMenu_, "&Extra samples", QKeySequence("Ctrl+E"), &TSequence::ExtraSamplesClick);
  add(editMenu_, "Kit &Maker", {}, &TSequence::KitMakeClick);
  QMenu* import = menuBar()->addMenu("&Import");
  add(import, "&Drum Kit Library", {}, &TSequence::SoundLibrary1Click);
  add(import, "Drum &kit (Hydrogen or SFZ)...", {}, &TSequence::ImportDrumKitClick);
  QMenu* options = menuBar()->addMenu("&Options");
  add(options, "&Cell Jump", QKeySequence("Ctrl+J"), &TSequence::CellJump1Click);
  add(options, "&Preferences...", {}, &TSequence::PreferencesClick);
  QMenu* play = menuBar()->addMenu("&Play");
  add(play, "Play &Pattern", QKeySequence("F6"), &TSequence::BitBtn3Click);
  add(play, "Play S&ong", QKeySequence("F5"), &TSequence::BitBtn12Click);
  play->addSeparator();
  add(play, "&Stop", QKeySequence("F8"), &TSequence::BitBtn4Click);
  play->addSeparator();
  // Ctrl+S is Save Song's: Play Instrument gets a key of its own.
  add(play, "Play &Instrument", QKeySequence("Ctrl+P"), &TSequence::BitBtn11Click);
  QMenu* help = menuBar()->addMenu("&Help");
  add(help, "&Contents", QKeySequence::HelpContents, &TSequence::HelpClick);
  help->addAction("&About Korvanto", this, [this] { ShowAboutBox(this); });
}

// Enter inserts an instrument and Ctrl+Z takes back the window's latest
// step wherever the focus is: keep the focused control (a line edit has an
// undo of its own) from claiming these keys before the menu sees them.
bool TSequence::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    auto* widget = qobject_cast<QWidget*>(watched);
    const bool enter =
        (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == 0;
    // The BPM box takes its own Enter: it sets the typed tempo.
    if (enter && watched == BpmBox) {
      event->accept();
      return true;
    }
    const bool history = key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
                         QKeySequence(key->keyCombination()) == QKeySequence("Ctrl+Y");
    // The grid's own copy takes only its current cell: the menu's takes the
    // selection.
    const bool clipboard = key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
                           key->matches(QKeySequence::Paste);
    if (clipboard && (watched == StringGrid1 || watched == StringGrid1->viewport())) {
      event->ignore();
      return true;
    }
    if ((enter || history) && widget && widget->window() == this) {
      event->ignore();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

std::string TSequence::ChooserText() const {
  return instrumentPanel_->ChooserText();
}

void TSequence::ShowToggles() {
  ToolButton3->setIcon(
      MakeToolIcon(ToolIcon::RepeatPattern, Toggles::RepeatIsOn(RepeatPatternImage())));
  ToolButton8->setIcon(MakeToolIcon(ToolIcon::RepeatList, Toggles::RepeatIsOn(RepeatListImage())));
  ToolButton19->setIcon(
      MakeToolIcon(ToolIcon::GlobalSpeed, Toggles::GlobalSpeedIsOn(GlobalSpeedImage())));
}
