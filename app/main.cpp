// Creates the application and the windows in their fixed order, then runs the
// event loop until the main window closes.
#include <QApplication>
#include <iostream>

#include "app/CommandLine.h"
#include "app/ProgramHome.h"
#include "app/ProgramWindows.h"
#include "common/QtDecodeProgress.h"
#include "kit/AudioOutput.h"
#include "kit/SdlAudioOutput.h"
#include "kit/SndFileDecoder.h"

int main(int argc, char** argv) {
  // Sound files of other formats than 8- and 16-bit PCM WAV are decoded.
  SetSoundDecoder(MakeSndFileDecoder());
  // "--home DIR" first makes DIR the home folder, for the commands too.
  ProgramHome home = ProgramHome::OfThisProgram();
  if (!home.TakeOption(argc, argv, std::cerr)) return 1;
  // "korvanto render SONG OUT.wav", --help and --version run without windows.
  bool handled = false;
  const int code = RunCommandLine(argc, argv, handled);
  if (handled) return code;

  // The windows' home: the current folder with its kit, a song's folder or
  // the user's data folder; the windows find everything in the current folder.
  const std::vector<std::string> arguments =
      home.EnterForWindows({argv + 1, argv + argc}, std::cerr);
  QApplication app(argc, argv);
  app.setApplicationName("Korvanto");
  // The desktop entry: the window's icon and name in docks and task bars.
  app.setDesktopFileName("korvanto");
  QFont font = app.font();
  font.setPointSize(9);
  app.setFont(font);
  SetAudioOutputFactory(SdlAudioOutputFactory());
  QtDecodeProgress decodeProgress;
  SetDecodeWatch(&decodeProgress);

  ProgramWindows windows;
  windows.OpenSongs(arguments);
  windows.Show();
  return app.exec();
}
