// Creates the application and the windows in their fixed order, then runs the
// event loop until the main window closes.
#include <QApplication>

#include "pattern/Options.h"
#include "pattern/Sequencer.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setApplicationName("Korvanto");
  QFont font = app.font();
  font.setPointSize(9);
  app.setFont(font);

  // The main window comes first: its start-up runs before any other window exists.
  TSequence sequence;
  TForm2 options(sequence);
  sequence.SetOptionsWindow(&options);

  sequence.show();
  return app.exec();
}
