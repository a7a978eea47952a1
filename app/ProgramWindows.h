#pragma once
// The program's windows, created in their fixed order and wired together.
// main() and the tests build the program through this one class, so a test
// drives exactly the wiring a user meets.
#include <string>
#include <vector>

#include "intro/intro.h"
#include "kit/Kit_Listing.h"
#include "kit/MakeKit.h"
#include "kit/Sams.h"
#include "midi/MidiBeatLink.h"
#include "midi/MidiLive.h"
#include "pattern/Options.h"
#include "pattern/Sequencer.h"
#include "render/Main.h"
#include "render/Unit1.h"

class ProgramWindows {
 public:
  // Creates every window; the main window's start-up runs first, before any
  // other window exists. Closing the main window ends the event loop.
  ProgramWindows();
  // The players stop and the main window forgets the other windows before
  // any of them goes; then they go in the reverse order of creation.
  ~ProgramWindows();
  ProgramWindows(const ProgramWindows&) = delete;
  ProgramWindows& operator=(const ProgramWindows&) = delete;

  // Opens the songs named on the command line, as "Open Song" would.
  void OpenSongs(const std::vector<std::string>& arguments);
  // The main window a user sees at start, the Extra samples and the Kit List
  // docked at its sides.
  void Show();

  // Keeps copies of unsaved work; holding the home's lock, it first offers
  // the work a run that did not end cleanly left.
  void StartRecovery(bool holdsLock = true) { sequence.KeepRecovery(holdsLock); }
  // A signal asked the program to end: a dialog waiting for an answer goes
  // unanswered, then the main window closes without a question, its unsaved
  // work left in the recovery files.
  void EndQuietly();
  // The program ends by exit(): the players' workers and the streams' refill
  // workers end and the unsaved work is copied. UI thread only.
  void StopForExit();
  // Opens the MIDI ports as Preferences (or --midi) chose; what went wrong, if anything.
  std::string StartMidi() { return midi.Start(); }

  // In creation order; members are destroyed in the reverse one. The tool
  // windows are docks of the main window (floated, they stay above it and
  // hide with it). The sample editor and the kit maker are windows of their
  // own that come to the front when opened.
  TSequence sequence;
  TMainForm sampleEditor;
  TKit_List kitList{&sequence};
  TForm1 renderWindow{&sequence};
  TMakit kitMaker;
  TIntroScreen introScreen;  // shows itself only when Korvanto.avi is there
  TForm2 options{sequence, &sequence};
  TSamples samples{&sequence};
  // MIDI out, MIDI control and a followed clock; the MIDI ports plug in here.
  MidiBeatLink midiBeat;
  // Live MIDI: its ports open with StartMidi; they close before any window goes.
  MidiLive midi{sequence};

 private:
  void Wire();
  void DockTools();
  void OpenSlotInEditor(int slot);
  // Places the main window's frame inside the screen's free area.
  void Arrange();
  // Closing the main window: every other window goes and the loop ends.
  void EndProgram();
  int endAttempts_ = 0;
};
