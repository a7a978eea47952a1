// TSequence: start-up, close, resize and help.
#include <QCloseEvent>
#include <QDesktopServices>
#include <QLabel>
#include <QPixmap>
#include <QResizeEvent>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <filesystem>

#include "common/Guard.h"
#include "common/QtPrompts.h"
#include "common/Text.h"
#include "help/HelpWindow.h"
#include "kit/KitPanning.h"
#include "pattern/HomeFiles.h"
#include "pattern/InstrumentPanel.h"
#include "pattern/Sequencer.h"
#include "pattern/StepGridView.h"

namespace fs = std::filesystem;

// Each step runs on its own: one that fails is reported and the steps after
// it still run, so a missing panning table or a machine without sound never
// leaves the window half set up.
void TSequence::StartUpStep(const std::function<void()>& step) {
  RunGuarded(AppPrompts(), step);
}

void TSequence::FormCreate() {
  firstLoad_ = true;
  kitFileName_ = "power.dxg";
  StartUpStep([&] { GetDrumLibrary(); });
  // No kit: the chooser shows what the kit holds, nothing but the slots.
  if (!kitLoaded_) {
    instruments_.Rebuild(DXWaveList1.Items);
    instrumentPanel_->ShowChooserItems(instruments_.Items());
  }
  // The output format (44200 Hz, 16 bits) belongs to the playback engine.
  StartUpStep([&] { song_.Grid().WriteNewPattern(16, 4); });
  StartUpStep([&] { engine_.SetUpTempo(); });
  StartUpStep([&] {
    if (fs::exists("KVSkin.bmp")) Image1->setPixmap(QPixmap("KVSkin.bmp"));
  });
  song_.StartIn(fs::current_path());
  StartUpStep([&] { song_.LoadLibrary(); });
  StartUpStep([&] {
    song_.Grid().WriteStepLabels(16, 4);
    song_.Grid().WriteChannelHeads();
  });
  StartUpStep([&] {
    panningTable_.Read(HomeDir() / "Panning.dat");
    if (panningTable_.Problem()) AppPrompts().ShowError(*panningTable_.Problem());
  });
  StartUpStep([&] {
    DXWaveList1.SetDXSound(&DXSound1);
    DXSound1.AutoInitialize = false;
    DXSound1.SetOptions(soGlobalFocus | soStickyFocus | soExclusive);
    DXSound1.Initialize();
  });
  StartUpStep([&] { ApplyPanningTable(panningTable_, instruments_, DXWaveList1.Items); });
  StartUpStep([&] { ResetSampleWorkFiles(HomeDir()); });
  song_.PatternMet();
  ShowToggles();
  ShowSong();
  // The kit's first instrument (the kick) ready to place.
  if (instruments_.LastKitIndex() >= 1) ChooseInstrument(instruments_.Item(1));
  ComboBox1Change();
}

void TSequence::FormClose() {
  if (closed_) return;
  closed_ = true;
  const auto pans = ComposePanningTable(instruments_, DXWaveList1.Items, kitLoaded_, panningTable_);
  Guarded([&] { PanningTable::Write(HomeDir() / "Panning.dat", pans); });
}

// Closing asks the one question; a quiet end (a signal) keeps the
// recovery copies instead.
void TSequence::closeEvent(QCloseEvent* event) {
  if (!closed_ && !closingQuietly_ && !ReadyToReplace(Replacing::Both)) {
    event->ignore();
    return;
  }
  // The user's own close ends cleanly: whatever is unsaved was let go, and
  // no later tick writes the copies again.
  if (!closed_ && !closingQuietly_ && recovery_) {
    recoveryTimer_->stop();
    recovery_->Remove();
  }
  FormClose();
  Shutdown();
  event->accept();
  // Closing the main window ends the program, whatever else is open.
  if (OnClosed) OnClosed();
}

void TSequence::Shutdown() {
  Guarded([&] { engine_.BitBtn4Click(); });
}

// File > Exit.
void TSequence::Exit1Click() {
  close();
}

// A help file of the user's own in the home folder opens on the desktop, as
// it always did; otherwise the manual compiled into the program shows.
void TSequence::HelpClick() {
  const fs::path own = fs::current_path() / "korvanto.hlp";
  if (fs::exists(own)) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(own.string())));
    return;
  }
  if (!helpWindow_) helpWindow_ = new HelpWindow(this);
  helpWindow_->show();
  helpWindow_->raise();
  helpWindow_->activateWindow();
}

void TSequence::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FormResize();
}

void TSequence::FormResize() {
  if (height() < kMinimumHeight) {
    resize(width(), kMinimumHeight);
    return;  // the resize comes back here with the new height
  }
  // The skin lies behind the whole client area; the layout fits the rest.
  if (Image1 && centralWidget()) Image1->setGeometry(centralWidget()->rect());
}
