// Creates the application and the windows in their fixed order, then runs the
// event loop until the main window closes.
#include <QApplication>

#include "app/CommandLine.h"
#include "app/ProgramWindows.h"
#include "kit/AudioOutput.h"
#include "kit/SdlAudioOutput.h"

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

  ProgramWindows windows;
  windows.OpenSongs(std::vector<std::string>(argv + 1, argv + argc));
  windows.Show();
  return app.exec();
}
