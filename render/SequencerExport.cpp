// TSequence: the File menu's exports: stems, a MIDI file, the song collected
// into one folder, and the check boxes for loop-exact files and mono stems.
#include <QAction>
#include <QMenu>
#include <QToolButton>
#include <memory>
#include <sstream>

#include "common/QtPrompts.h"
#include "kit/KitPanning.h"
#include "pattern/Sequencer.h"
#include "render/RenderFlow.h"
#include "render/Unit1.h"
#include "song/CollectFlow.h"
#include "song/Compile.h"

void TSequence::BuildExportMenu(QMenu* file) {
  auto add = [this, file](const QString& caption, void (TSequence::*handler)()) {
    QAction* action = file->addAction(caption);
    connect(action, &QAction::triggered, this,
            [this, handler] { Guarded([&] { (this->*handler)(); }); });
    return action;
  };
  auto check = [this, file](const QString& caption, bool ExportSettings::*setting) {
    QAction* action = file->addAction(caption);
    action->setCheckable(true);
    action->setChecked(exportSettings_.*setting);
    connect(action, &QAction::toggled, this,
            [this, setting](bool on) { exportSettings_.*setting = on; });
    return action;
  };
  ExportStemsAction = add("Export s&tems...", &TSequence::ExportStemsClick);
  ExportMidiAction = add("Export M&IDI...", &TSequence::ExportMidiClick);
  CollectSongAction = add("&Collect song into folder...", &TSequence::CollectSongClick);
  LoopExactAction = check("&Loop-exact render and stems", &ExportSettings::loop);
  MonoStemsAction = check("&Mono stems", &ExportSettings::monoStems);
}

void TSequence::ExportStemsClick() {
  if (!renderWindow_) return;
  RenderHost host = RenderHostOf();
  renderWindow_->Run([&](RenderFlow& flow, RenderProgress& progress) {
    flow.ExportStemsClick(host, AppPrompts(), progress);
  });
}

void TSequence::ExportMidiClick() {
  if (!renderWindow_) return;
  RenderHost host = RenderHostOf();
  // A song playing meanwhile plays on where it is.
  auto meters = std::make_shared<std::vector<PatternMeter>>();
  host.compile = [this, meters] {
    Lines sequence;
    song_.CompileInto(sequence, meters.get());
    ShowSong();
    return sequence;
  };
  host.meters = [meters] { return *meters; };
  renderWindow_->Run(
      [&](RenderFlow& flow, RenderProgress&) { flow.ExportMidiClick(host, AppPrompts()); });
}

void TSequence::CollectSongClick() {
  if (!renderWindow_) return;
  CollectHost host;
  host.home = HomeDir();
  host.songFile = song_.SongFile();
  host.entries = [this] {
    std::vector<std::string> names;
    for (const auto& entry : song_.List().Entries()) names.push_back(entry.name);
    return names;
  };
  host.slots = &song_.Slots();
  host.kitBytes = [this] {
    std::ostringstream kit;
    DXWaveList1.Items.SaveToStream(kit);
    return kit.str();
  };
  host.pans = [this] {
    return ComposePanningTable(instruments_, DXWaveList1.Items, kitLoaded_, panningTable_);
  };
  host.setPlayButtonsEnabled = [this](bool enabled) {
    ToolButton1->setEnabled(enabled);
    ToolButton7->setEnabled(enabled);
  };
  renderWindow_->Run([&](RenderFlow&, RenderProgress& progress) {
    ::CollectSongClick(host, AppPrompts(), progress);
  });
}
