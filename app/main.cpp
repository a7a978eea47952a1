// Creates the application and the windows in their fixed order, then runs the
// event loop until the main window closes.
#include <QApplication>
#include <cstdio>
#include <QPushButton>
#include <QToolButton>

#include "common/Guard.h"
#include "common/QtPrompts.h"
#include "common/QtUiThread.h"

#include "app/CommandLine.h"
#include "intro/intro.h"
#include "kit/AudioOutput.h"
#include "kit/DeviceLossWatch.h"
#include "kit/SoundTrouble.h"
#include "kit/MakeKit.h"
#include "kit/Kit_Listing.h"
#include "kit/Sams.h"
#include "kit/SdlAudioOutput.h"
#include "pattern/Options.h"
#include "pattern/Sequencer.h"
#include "render/Main.h"
#include "render/RenderPrep.h"
#include "render/Unit1.h"

namespace {
// Choosing a slot in the Extra samples window opens it in the sample editor.
void OpenSlotInEditor(TMainForm& editor, int slot) {
  RunGuarded(AppPrompts(), [&] {
    editor.SetCaption("Sample " + std::to_string(slot) + " : " + editor.Slots().FileName(slot));
    editor.SetCurrentSlot(slot);
    if (editor.isHidden()) editor.show();
    editor.LoadSlotControls(slot);
  });
}
}  // namespace

int main(int argc, char** argv) {
  // "korvanto render SONG OUT.wav", --help and --version run without windows.
  bool handled = false;
  const int code = RunCommandLine(argc, argv, handled);
  if (handled) return code;

  QApplication app(argc, argv);
  app.setApplicationName("Korvanto");
  QFont font = app.font();
  font.setPointSize(9);
  app.setFont(font);
  SetAudioOutputFactory(SdlAudioOutputFactory());
  // A sound device that goes away is told of once and opened again.
  DeviceLossWatch deviceWatch(QtUiThread::Instance(), SdlSoundDevice(),
                              [](const std::string& text) { AppPrompts().ShowError(text); });
  // Sounds placed late and underruns, on the terminal as they happen.
  SoundTroubleLog troubleLog(QtUiThread::Instance(),
                             [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); });

  // The main window comes first: its start-up runs before any other window exists.
  TSequence sequence;
  TMainForm sampleEditor;
  sequence.SetSlotPlayer(&sampleEditor.Slots());
  sequence.SetSampleEditor(&sampleEditor.Editor());
  TKit_List kitList;
  sequence.SetKitListWindow(&kitList);
  TForm1 renderWindow;
  renderWindow.SetProgressBar(sequence.ProgressBar1);
  // Stop enables the play buttons again: that is the render's cancel.
  renderWindow.SetStopPressed([&] { return sequence.ToolButton1->isEnabled(); });
  sequence.SetRenderWindow(&renderWindow, [&] { return SlotSoundsOf(sampleEditor.Slots()); });
  TMakit kitMaker;
  sequence.SetKitMakerWindow(&kitMaker);
  TIntroScreen introScreen;  // shows itself only when Korvanto.avi is there
  TForm2 options(sequence);
  sequence.SetOptionsWindow(&options);
  TSamples samples;
  samples.OnChooseSlot = [&](int slot) { sequence.ChooseInstrument("Sample" + std::to_string(slot)); };
  samples.OnOpenSlot = [&](int slot) { OpenSlotInEditor(sampleEditor, slot); };
  sampleEditor.SetSlotButtonCaptionHandler([&](int slot, const std::string& caption) {
    samples.SlotButtons()[slot - 1]->setText(QString::fromLatin1(caption.c_str()));
  });

  // "korvanto SONG.sng" opens the song once every window is there.
  for (int i = 1; i < argc; ++i)
    if (QString(argv[i]).endsWith(".sng")) sequence.OpenSongAtStart(argv[i]);

  sequence.show();
  // The Kit List stands just right of the main window.
  kitList.move(sequence.frameGeometry().right() + 1, kitList.y());
  kitList.show();
  samples.show();
  sequence.raise();
  sequence.activateWindow();
  return app.exec();
}
