// Creates the application and the windows in their fixed order, then runs the
// event loop until the main window closes.
#include <QApplication>

#include "app/CommandLine.h"
#include "app/ProgramWindows.h"
#include "common/QtDecodeProgress.h"
#include "kit/AudioOutput.h"
#include "kit/SdlAudioOutput.h"
#include "kit/SndFileDecoder.h"
#include "kit/SndFileEncoder.h"

int main(int argc, char** argv) {
  // Sound files of other formats than 8- and 16-bit PCM WAV are decoded;
  // songs may be rendered to FLAC.
  SetSoundDecoder(MakeSndFileDecoder());
  SetSoundEncoder(MakeSndFileEncoder());
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
  QtDecodeProgress decodeProgress;
  SetDecodeWatch(&decodeProgress);

  ProgramWindows windows;
  windows.OpenSongs(std::vector<std::string>(argv + 1, argv + argc));
  windows.Show();
  return app.exec();
}
