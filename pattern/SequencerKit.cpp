// TSequence: the kit, the instrument chooser and its pan bar.
#include <QComboBox>
#include <QSlider>
#include <algorithm>

#include "common/Exception.h"
#include "common/QtPrompts.h"
#include "common/Text.h"
#include "kit/InstrumentPlay.h"
#include "kit/KitImport.h"
#include "kit/KitPanning.h"
#include "kit/Kit_Listing.h"
#include "kit/MakeKit.h"
#include "kit/VoiceGroups.h"
#include "pattern/InstrumentPanel.h"
#include "pattern/PanelParts.h"
#include "pattern/PatternFile.h"
#include "pattern/PatternName.h"
#include "pattern/Sequencer.h"
#include "pattern/ToolDock.h"

namespace fs = std::filesystem;

namespace {
// "Not in this kit: Kick, ClsHiat - their cells stay silent".
std::string LackingInstrumentsMessage(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
  return "Not in this kit: " + list + " - their cells stay silent";
}

// "Snare     [ ]" as a step's caption: "Snare".
QString Caption(const std::string& entry) {
  return Latin1(entry).section('[', 0, 0).trimmed();
}

// Cells naming an instrument that the chooser's entries lack: they fall silent.
bool GridHasSilentCells(const PatternGrid& grid, const InstrumentTable& instruments) {
  const int rows = std::min(grid.StoredRows(), PatternGrid::kMaxSteps + 3);
  for (int row = PatternGrid::kFirstStepRow; row < rows; ++row)
    for (int col = 1; col <= PatternGrid::kChannels; ++col) {
      std::string text = grid.Cell(col, row);
      if (text.empty()) continue;
      if (text.size() > 11) text[11] = ' ';  // the volume digit names no instrument
      if (instruments.IndexOf(text) < 1) return true;
    }
  return false;
}
}  // namespace

void TSequence::SetKitListWindow(TKit_List* kitList) {
  kitList_ = kitList;
  if (!kitList_) return;
  kitList_->OnSelectInstrument = [this](int tag) { Guarded([&] { SelectInstrument(tag); }); };
  kitList_->PaintLabels(DXWaveList1.Items);
  ConnectKitListMix();
}

void TSequence::SetSlotPlayer(SlotPlayer* player) {
  slotPlayer_ = player;
  playbackSound_.SetSlotPlayer(player);
}

void TSequence::GetDrumLibrary() {
  DXWaveList1.Items.LoadFromFile(kitFileName_);
  // The device buffers of the new entries follow the new waves.
  if (DXWaveList1.Initialized()) DXWaveList1.Restore();
  if (!firstLoad_ && kitList_) kitList_->PaintLabels(DXWaveList1.Items);
  firstLoad_ = false;
  kitPath_ = std::filesystem::absolute(kitFileName_);
  kitFileName_ = FileNamePart(kitFileName_);
  const std::string title =
      kitFileName_.substr(0, kitFileName_.size() >= 4 ? kitFileName_.size() - 4 : 0);
  if (kitList_) kitList_->ShowTitle(QString::fromLatin1(("Kit List-" + title).c_str()));
  kitLoaded_ = true;
  instruments_.Rebuild(DXWaveList1.Items);
  instrumentPanel_->ShowChooserItems(instruments_.Items());
  // A sound server's port pair per instrument follows the kit.
  PublishVoiceGroups(DXWaveList1.Items);
}

// Import > Drum Kit Library. A panning table imported beside the kit
// ("gm-Panning.dat" beside "gm.dxg") gives its pans; else the positions keep
// theirs.
void TSequence::SoundLibrary1Click() {
  FileRequest request{"Open", "dxg|*.dxg", HomeDir().string(), "dxg"};
  request.folderKind = "kits";
  const auto path = AppPrompts().OpenFile(request);
  if (!path) return;
  TWaveCollection incoming;
  incoming.LoadFromFile(*path);
  if (!ReadyForKit(incoming)) return;
  auto settings = RememberByPosition(instruments_, DXWaveList1.Items);
  std::error_code ec;
  if (fs::is_regular_file(PanningTableBeside(*path), ec)) {
    PanningTable pans;
    pans.Read(PanningTableBeside(*path));
    settings = WithPans(settings, pans);
  }
  UseKitFile(*path, settings);
}

bool TSequence::ReadyForKit(const TWaveCollection& incoming) {
  InstrumentTable after;
  after.Rebuild(incoming);
  return !GridHasSilentCells(song_.Grid(), after) || ReadyToReplace(Replacing::Pattern);
}

void TSequence::UseKitFile(const std::string& path,
                           const std::vector<std::optional<PositionSettings>>& settings) {
  kitFileName_ = path;
  GetDrumLibrary();
  RestoreByPosition(settings, instruments_, DXWaveList1.Items);
  // The chooser holds an instrument of the new kit, never one it lacks.
  if (instruments_.IndexOf(ChooserText()) < 1 && instruments_.LastKitIndex() >= 1)
    ChooseInstrument(instruments_.Item(1));
  ComboBox1Change();
  const std::vector<std::string> lacking = InstrumentsTheKitLacks();
  if (!lacking.empty()) AppPrompts().ShowError(LackingInstrumentsMessage(lacking));
}

// What the grid and the play list's patterns name that the kit lacks, by
// instrument name, in the order first met.
std::vector<std::string> TSequence::InstrumentsTheKitLacks() {
  std::vector<std::string> lacking;
  auto check = [&](std::string text) {
    if (text.empty()) return;
    if (text.size() > 11) text[11] = ' ';
    const std::string name = Caption(text).toLatin1().toStdString();
    if (instruments_.IndexOf(text) < 1 &&
        std::find(lacking.begin(), lacking.end(), name) == lacking.end())
      lacking.push_back(name);
  };
  const int rows = std::min(song_.Grid().StoredRows(), PatternGrid::kMaxSteps + 3);
  for (int row = PatternGrid::kFirstStepRow; row < rows; ++row)
    for (int col = 1; col <= PatternGrid::kChannels; ++col) check(song_.Grid().Cell(col, row));
  for (const std::string& name : song_.List().Names()) {
    try {
      const PatternFileData data = ReadPatternFile(PatternPathForReading(HomeDir(), name), false);
      for (size_t i = 0; i < data.cells.size(); ++i)
        if (i >= 2 * kPatternColumns && i % kPatternColumns != 0) check(data.cells[i]);
    } catch (const std::exception&) {
      // A pattern that can't be read is told when it plays.
    }
  }
  return lacking;
}

// The pan bar moved: a drag is one step, pushed when the bar is let go;
// keys and the wheel step at once, repeated steps merging.
void TSequence::PanningChange() {
  const int index = instruments_.IndexOf(ChooserText());
  if (index < 0) return;
  if (index > instruments_.LastKitIndex()) {
    AppPrompts().Message(
        "Use the sample importer (Edit/Sample#) to change your imported samples panning",
        "Sample Panning", PromptButtons::Ok);
    return;
  }
  if (instruments_.Item(index).empty()) return;
  const std::string& name = instruments_.Item(index);
  TWaveCollectionItem& entry = DXWaveList1.Items.Find(name);
  SongChange change;
  change.pan = SongChange::Pan{name, entry.Pan, Panning->value()};
  entry.Pan = Panning->value();
  if (!Panning->isSliderDown()) Push("Pan " + Caption(name), std::move(change), MergeKey::Pan);
}

// The pan bar let go after a drag.
void TSequence::PanningReleased() {
  const int index = instruments_.IndexOf(ChooserText());
  if (index < 1 || index > instruments_.LastKitIndex() || instruments_.Item(index).empty()) return;
  SongChange change;
  change.pan = SongChange::Pan{instruments_.Item(index), panDragStart_, Panning->value()};
  Push("Pan " + Caption(instruments_.Item(index)), std::move(change));
}

// The chooser's text changed: the pan bar shows the instrument's pan.
void TSequence::ComboBox1Change() {
  instrumentPanel_->CleanChooserText();
  int index = instruments_.IndexOf(ChooserText());
  if (index < 0 || index > instruments_.LastKitIndex()) index = instruments_.LastKitIndex();
  ShowPanOf(index);
}

void TSequence::ShowPanOf(int chooserIndex) {
  const std::string& name = instruments_.Item(chooserIndex);
  if (name.empty()) return;
  const int entry = DXWaveList1.Items.IndexOfName(name);
  if (entry >= 0) instrumentPanel_->ShowPan(DXWaveList1.Items[entry].Pan);
}

// "Play selected sample" (Ctrl+P): a slot without a sound or a kit without
// a device simply stays silent.
void TSequence::BitBtn11Click() {
  try {
    PlayInstrument(ResolveForChooser(instruments_, ChooserText()), DXWaveList1, slotPlayer_, false);
  } catch (const std::exception&) {
  }
}

// Edit > Kit List.
void TSequence::KitList1Click() {
  if (kitList_) ShowToolWindow(*kitList_);
}

// Edit > Extra samples: brings the slot window back once it was closed.
void TSequence::ExtraSamplesClick() {
  if (samples_) ShowToolWindow(*samples_);
}

// An instrument's label in the Kit List.
void TSequence::SelectInstrument(int tag) {
  ChooseInstrument(instruments_.Item(tag + 1));
  ShowPanOf(tag + 1);
}

// Puts a text into the chooser as if the user had chosen it.
void TSequence::ChooseInstrument(const std::string& text) {
  ComboBox1->setCurrentText(Latin1(text));
}

// Edit > Kit Maker.
void TSequence::KitMakeClick() {
  if (kitMaker_) kitMaker_->KitMakeClick(DXWaveList1.Items, HomeDir(), AppPrompts());
}
