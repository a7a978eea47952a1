#include "app/ProgramWindows.h"

#include <QApplication>
#include <QPushButton>
#include <QToolButton>

#include "common/Guard.h"
#include "common/QtPrompts.h"
#include "render/RenderPrep.h"

ProgramWindows::ProgramWindows() {
  Wire();
}

ProgramWindows::~ProgramWindows() {
  sequence.Shutdown();
  sequence.SetSlotPlayer(nullptr);
  sequence.SetSampleEditor(nullptr);
  sequence.SetKitListWindow(nullptr);
  sequence.SetKitMakerWindow(nullptr);
  sequence.SetRenderWindow(nullptr, {});
  sequence.SetOptionsWindow(nullptr);
  sequence.OnClosed = nullptr;
}

void ProgramWindows::Wire() {
  sequence.SetSlotPlayer(&sampleEditor.Slots());
  sequence.SetSampleEditor(&sampleEditor.Editor());
  sequence.SetKitListWindow(&kitList);
  renderWindow.SetProgressBar(sequence.ProgressBar1);
  // Stop enables the play buttons again: that is the render's cancel.
  renderWindow.SetStopPressed([this] { return sequence.ToolButton1->isEnabled(); });
  sequence.SetRenderWindow(&renderWindow, [this] { return SlotSoundsOf(sampleEditor.Slots()); });
  sequence.SetKitMakerWindow(&kitMaker);
  sequence.SetOptionsWindow(&options);
  samples.OnChooseSlot = [this](int slot) {
    sequence.ChooseInstrument("Sample" + std::to_string(slot));
  };
  samples.OnOpenSlot = [this](int slot) { OpenSlotInEditor(slot); };
  sampleEditor.SetSlotButtonCaptionHandler([this](int slot, const std::string& caption) {
    samples.SlotButtons()[slot - 1]->setText(QString::fromLatin1(caption.c_str()));
  });
  sequence.OnClosed = [this] { EndProgram(); };
}

// Choosing a slot in the Extra samples window opens it in the sample editor.
void ProgramWindows::OpenSlotInEditor(int slot) {
  RunGuarded(AppPrompts(), [&] {
    sampleEditor.SetCaption("Sample " + std::to_string(slot) + " : " +
                            sampleEditor.Slots().FileName(slot));
    sampleEditor.SetCurrentSlot(slot);
    if (sampleEditor.isHidden()) sampleEditor.show();
    sampleEditor.LoadSlotControls(slot);
  });
}

void ProgramWindows::OpenSongs(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments)
    if (QString::fromStdString(argument).endsWith(".sng")) sequence.OpenSongAtStart(argument);
}

void ProgramWindows::Show() {
  sequence.show();
  // The Kit List stands just right of the main window.
  kitList.move(sequence.frameGeometry().right() + 1, kitList.y());
  kitList.show();
  samples.show();
  sequence.raise();
  sequence.activateWindow();
}

void ProgramWindows::EndProgram() {
  for (QWidget* window : std::initializer_list<QWidget*>{
           &samples, &options, &introScreen, &kitMaker, &renderWindow, &kitList, &sampleEditor})
    window->hide();
  QCoreApplication::quit();
}
