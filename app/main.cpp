// Creates the application and the windows in their fixed order, then runs the
// event loop until the main window closes or a signal ends the program.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>

#include "app/AudioOption.h"
#include "app/CommandLine.h"
#include "app/EndOnSignals.h"
#include "app/HomeLock.h"
#include "app/NsmJoin.h"
#include "app/NsmSession.h"
#include "app/ProgramHome.h"
#include "app/ProgramWindows.h"
#include "common/ExitHook.h"
#include "common/QtDecodeProgress.h"
#include "common/QtPrompts.h"
#include "common/QtUiThread.h"
#include "kit/AudioOutput.h"
#include "kit/DeviceLossWatch.h"
#include "kit/DrumkitXml.h"
#include "kit/KitSourceReaders.h"
#include "kit/JackAudioOutput.h"
#include "kit/JackTransportLink.h"
#include "kit/SdlAudioOutput.h"
#include "kit/SndFileDecoder.h"
#include "kit/SndFileEncoder.h"
#include "kit/SoundOutputChoice.h"
#include "kit/SoundSettings.h"
#include "kit/SoundTrouble.h"
#include "midi/MidiChoice.h"
#include "kit/StudioOutputs.h"

int main(int argc, char** argv) {
  // Sound files of other formats than 8- and 16-bit PCM WAV are decoded;
  // songs may be rendered to FLAC.
  SetSoundDecoder(MakeSndFileDecoder());
  SetSoundEncoder(MakeSndFileEncoder());
  // Hydrogen drumkits: drumkit.xml and .h2drumkit archives.
  SetKitSourceReaders(QtKitSourceReaders());
  // "--home DIR" first makes DIR the home folder, for the commands too.
  ProgramHome home = ProgramHome::OfThisProgram();
  if (!home.TakeOption(argc, argv, std::cerr)) return 1;
  // "--audio jack|sdl": the windows' sound output for this run.
  const AudioOptionResult audio = TakeAudioOption(argc, argv);
  if (!audio.error.empty()) {
    std::fprintf(stderr, "korvanto: %s\n", audio.error.c_str());
    return 2;
  }
  // "--force" is the windows' option; before a command it changes nothing.
  bool force = TakeForceOption(argc, argv, true);
  // "korvanto render SONG OUT.wav", --help and --version run without windows.
  bool handled = false;
  const int code = RunCommandLine(argc, argv, handled);
  if (handled) return code;
  force = TakeForceOption(argc, argv, false) || force;
  // "--midi alsa|jack|none": the MIDI ports of this run, over Preferences' choice.
  std::string midiError;
  const MidiOption midi = TakeMidiOption(argc, argv, midiError);
  if (!midi.ok) {
    std::fprintf(stderr, "korvanto: %s\n", midiError.c_str());
    return 2;
  }
  SetMidiSystemForThisRun(midi.api);

  // Started by a session manager (NSM_URL), the session's folder is the home.
  SessionJoin session;
  if (const char* url = std::getenv("NSM_URL"); url && *url)
    session = JoinSession(url, std::filesystem::path(argv[0]).filename().string(), home, std::cerr);
  if (session.failed) return 1;
  // The windows' home: the current folder with its kit, a song's folder or
  // the user's data folder; the windows find everything in the current folder.
  const std::vector<std::string> arguments =
      session.link ? SessionSongArguments(std::filesystem::current_path())
                   : home.EnterForWindows({argv + 1, argv + argc}, std::cerr);
  QApplication app(argc, argv);
  app.setApplicationName("Korvanto");
  // The desktop entry: the window's icon and name in docks and task bars.
  app.setDesktopFileName("korvanto");
  QFont font = app.font();
  font.setPointSize(9);
  app.setFont(font);
  // One program per home folder; the commands above take no lock.
  const HomeLock lock(std::filesystem::current_path());
  const StartMode mode = DecideStart(lock.Get(), force);
  if (mode == StartMode::Refused) {
    std::fprintf(stderr, "korvanto: %s\n", kAlreadyRunning);
    if (session.link)
      session.link->Tell([](NsmClient& c) { c.OpenFailed(nsm_error::kGeneral, kAlreadyRunning); });
    AppPrompts().Message(kAlreadyRunning, "Korvanto", PromptButtons::Ok);
    return 1;
  }
  if (lock.Get() == HomeLock::State::Unavailable)
    std::fprintf(stderr, "korvanto: %s can't be made: this run keeps recovery files of its own\n",
                 HomeLock::FileIn("").c_str());
  // The sound output chosen in Preferences (or by --audio), before a window
  // opens it. SDL's drivers are not tried at every start: one that can't
  // start is refused when chosen.
  bool onJack = false;
  const std::string soundChoiceNews = StartSoundOutput(
      audio.kind ? std::optional<bool>(*audio.kind == AudioKind::Jack) : std::nullopt, onJack);
  StudioSoundOutputs soundOutputs(SdlSoundOutputs(), onJack);
  SetSoundOutputs(&soundOutputs);
  QtDecodeProgress decodeProgress;
  SetDecodeWatch(&decodeProgress);
  // A sound device that goes away is told of once and opened again.
  DeviceLossWatch deviceWatch(QtUiThread::Instance(), SdlSoundDevice(),
                              [](const std::string& text) { AppPrompts().ShowError(text); });
  // The JACK server going away moves the sound to SDL until it is back.
  std::optional<DeviceLossWatch> jackWatch;
  if (onJack)
    jackWatch.emplace(QtUiThread::Instance(), JackSoundDevice(), [](const std::string&) {
      AppPrompts().ShowError(
          "The JACK server went away. Korvanto plays through SDL's output and goes back to "
          "JACK as soon as the server is back.");
    });
  // Sounds placed late and underruns, on the terminal as they happen.
  SoundTroubleLog troubleLog(QtUiThread::Instance(), [](const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
  });

  ProgramWindows windows;
  // Ended by exit() (Qt's own when the display goes away), the program stops
  // its workers and the sound device before the statics they use go: the
  // hook is made after those (the shared sound device, the UI thread port).
  const ExitHook exitHook([&] { windows.StopForExit(); },
                          [] {
                            EndJackSoundDevice();
                            EndSdlSoundDevice();
                          });
  // A DAW's transport starts, moves and stops the song.
  std::optional<JackTransportLink> transportLink;
  if (onJack)
    transportLink.emplace(QtUiThread::Instance(), windows.sequence.Engine(),
                          windows.sequence.Sound(),
                          [](const std::string& text) { AppPrompts().ShowError(text); });
  EndOnSignals endOnSignals([&] { windows.EndQuietly(); });
  windows.OpenSongs(arguments);
  windows.Show();
  std::unique_ptr<NsmSession> sessionWindows;
  if (session.link)
    sessionWindows =
        std::make_unique<NsmSession>(*session.link, windows, std::filesystem::current_path());
  if (!soundChoiceNews.empty()) ShowErrorLater(&app, soundChoiceNews);
  if (const std::string midiNews = windows.StartMidi(); !midiNews.empty())
    ShowErrorLater(&app, midiNews);
  windows.StartRecovery(mode == StartMode::WithRecovery);
  return app.exec();
}
