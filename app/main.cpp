// Creates the application and the windows in their fixed order, then runs the
// event loop until the main window closes.
#include <QApplication>
#include <cstdio>

#include "app/CommandLine.h"
#include "app/ProgramWindows.h"
#include "common/QtDecodeProgress.h"
#include "common/QtPrompts.h"
#include "common/QtUiThread.h"
#include "kit/AudioOutput.h"
#include "kit/DeviceLossWatch.h"
#include "kit/SdlAudioOutput.h"
#include "kit/SndFileDecoder.h"
#include "kit/SoundTrouble.h"

int main(int argc, char** argv) {
  // Sound files of other formats than 8- and 16-bit PCM WAV are decoded.
  SetSoundDecoder(MakeSndFileDecoder());
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
  // A sound device that goes away is told of once and opened again.
  DeviceLossWatch deviceWatch(QtUiThread::Instance(), SdlSoundDevice(),
                              [](const std::string& text) { AppPrompts().ShowError(text); });
  // Sounds placed late and underruns, on the terminal as they happen.
  SoundTroubleLog troubleLog(QtUiThread::Instance(), [](const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
  });

  ProgramWindows windows;
  windows.OpenSongs(std::vector<std::string>(argv + 1, argv + argc));
  windows.Show();
  return app.exec();
}
