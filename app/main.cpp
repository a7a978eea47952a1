// Creates the application and the windows in their fixed order, then runs the
// event loop until the main window closes.
#include <QApplication>

#include "kit/AudioOutput.h"
#include "kit/Kit_Listing.h"
#include "kit/Sams.h"
#include "kit/SdlAudioOutput.h"
#include "pattern/Options.h"
#include "pattern/Sequencer.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setApplicationName("Korvanto");
  QFont font = app.font();
  font.setPointSize(9);
  app.setFont(font);
  SetAudioOutputFactory(SdlAudioOutputFactory());

  // The main window comes first: its start-up runs before any other window exists.
  TSequence sequence;
  TKit_List kitList;
  sequence.SetKitListWindow(&kitList);
  TForm2 options(sequence);
  sequence.SetOptionsWindow(&options);
  TSamples samples;
  samples.OnChooseSlot = [&](int slot) { sequence.ChooseInstrument("Sample" + std::to_string(slot)); };

  sequence.show();
  // The Kit List stands just right of the main window.
  kitList.move(sequence.frameGeometry().right() + 1, kitList.y());
  kitList.show();
  samples.show();
  sequence.raise();
  sequence.activateWindow();
  return app.exec();
}
