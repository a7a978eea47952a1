// TSequence: Options › Preferences, the sound output of every window.
#include "common/QtPrompts.h"
#include "kit/Preferences.h"
#include "pattern/Sequencer.h"

void TSequence::PreferencesClick() {
  SoundOutputs* outputs = TheSoundOutputs();
  if (!outputs) {
    AppPrompts().ShowError("This run has no sound output to choose.");
    return;
  }
  // The test sound: the chosen instrument, as Play Instrument plays it.
  if (!preferences_)
    preferences_ = new TPreferences(
        *outputs, [this] { BitBtn11Click(); }, this);
  preferences_->ShowChoice();
  preferences_->show();
  preferences_->raise();
  preferences_->activateWindow();
}
