// TSequence: the kit, the instrument chooser and its pan bar.
#include <QComboBox>
#include <QSlider>

#include "common/Exception.h"
#include "common/QtPrompts.h"
#include "common/Text.h"
#include "kit/InstrumentPlay.h"
#include "kit/KitPanning.h"
#include "kit/Kit_Listing.h"
#include "kit/MakeKit.h"
#include "pattern/Sequencer.h"

namespace fs = std::filesystem;

void TSequence::SetKitListWindow(TKit_List* kitList) {
  kitList_ = kitList;
  if (!kitList_) return;
  kitList_->OnSelectInstrument = [this](int tag) { Guarded([&] { SelectInstrument(tag); }); };
  kitList_->PaintLabels(DXWaveList1.Items);
}

void TSequence::GetDrumLibrary() {
  DXWaveList1.Items.LoadFromFile(kitFileName_);
  // The device buffers of the new entries follow the new waves.
  if (DXWaveList1.Initialized()) DXWaveList1.Restore();
  if (!firstLoad_ && kitList_) kitList_->PaintLabels(DXWaveList1.Items);
  firstLoad_ = false;
  kitFileName_ = FileNamePart(kitFileName_);
  const std::string title =
      kitFileName_.substr(0, kitFileName_.size() >= 4 ? kitFileName_.size() - 4 : 0);
  if (kitList_) kitList_->ShowTitle(QString::fromLatin1(("Kit List-" + title).c_str()));
  kitLoaded_ = true;
  ShowKitInChooser();
}

void TSequence::ShowKitInChooser() {
  instruments_.Rebuild(DXWaveList1.Items);
  ShowChooserItems();
}

void TSequence::SoundLibrary1Click() {
  FileRequest request{"Open", "dxg|*.dxg", homeDir_.string(), "dxg"};
  const auto path = AppPrompts().OpenFile(request);
  if (!path) return;
  const auto settings = RememberByPosition(instruments_, DXWaveList1.Items);
  kitFileName_ = *path;
  GetDrumLibrary();
  RestoreByPosition(settings, instruments_, DXWaveList1.Items);
  ComboBox1Change();
}

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
  const int before = entry.Pan;
  entry.Pan = Panning->value();
  // A drag is one step, pushed when the bar is let go; keys step at once.
  if (!Panning->isSliderDown()) PushPan(name, before, entry.Pan);
}

void TSequence::PanningReleased() {
  const int index = instruments_.IndexOf(ChooserText());
  if (index < 1 || index > instruments_.LastKitIndex() || instruments_.Item(index).empty()) return;
  PushPan(instruments_.Item(index), panDragStart_, Panning->value());
}

void TSequence::ComboBox1Change() {
  // Pasted control characters leave the chooser as they would leave a cell.
  const QString clean = QString::fromLatin1(ChooserText().c_str());
  if (clean != ComboBox1->currentText()) {
    const QSignalBlocker block(ComboBox1);
    ComboBox1->setCurrentText(clean);
  }
  int index = instruments_.IndexOf(ChooserText());
  if (index < 0 || index > instruments_.LastKitIndex()) index = instruments_.LastKitIndex();
  ShowPanOf(index);
}

void TSequence::ShowPanOf(int chooserIndex) {
  const std::string& name = instruments_.Item(chooserIndex);
  if (name.empty()) return;
  const int entry = DXWaveList1.Items.IndexOfName(name);
  if (entry < 0) return;
  const QSignalBlocker block(Panning);
  Panning->setValue(DXWaveList1.Items[entry].Pan);
}

void TSequence::BitBtn11Click() {
  // A slot without a sound or a kit without a device simply stays silent.
  try {
    PlayInstrument(ResolveForChooser(instruments_, ChooserText()), DXWaveList1, slotPlayer_, false);
  } catch (const std::exception&) {
  }
}

void TSequence::SoundCellInstrument(const std::string& text) {
  PlayInstrument(ResolveForCellClick(instruments_, text), DXWaveList1, slotPlayer_, false);
}

void TSequence::KitList1Click() {
  if (!kitList_) return;
  kitList_->show();
  kitList_->raise();
}

void TSequence::ExtraSamplesClick() {
  if (!samples_) return;
  samples_->show();
  samples_->raise();
}

void TSequence::SelectInstrument(int tag) {
  ChooseInstrument(instruments_.Item(tag + 1));
  ShowPanOf(tag + 1);
}

void TSequence::ChooseInstrument(const std::string& text) {
  ComboBox1->setCurrentText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

void TSequence::KitMakeClick() {
  if (kitMaker_) kitMaker_->KitMakeClick(DXWaveList1.Items, homeDir_, AppPrompts());
}
