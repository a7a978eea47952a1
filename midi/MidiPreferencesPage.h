#pragma once
// Options › Preferences › MIDI: the system Korvanto's ports are made on
// (ALSA, JACK or none), the ports connected to them at start, and the channel
// notes are taken from. Kept in the settings store, applied at once.
#include <QGroupBox>

#include "midi/MidiChoice.h"

class MidiLive;
class QCheckBox;
class QComboBox;
class QListWidget;
class QVBoxLayout;

class MidiPreferencesPage : public QGroupBox {
 public:
  // live must outlive the page.
  explicit MidiPreferencesPage(MidiLive& live, QWidget* parent = nullptr);

  // The choice in use and the ports there are now.
  void ShowChoice();
  MidiChoice Chosen() const;
  // Opens the ports as chosen and keeps the choice; what went wrong, if anything.
  std::string Apply();

  QComboBox* ApiBox = nullptr;
  QListWidget* SourcesList = nullptr;
  QListWidget* TargetsList = nullptr;
  QComboBox* ChannelBox = nullptr;
  QCheckBox* CountInBox = nullptr;
  QCheckBox* ClickBox = nullptr;
  // Further groups (the clock) go below the ports.
  QVBoxLayout* Groups = nullptr;

 private:
  MidiLive& live_;
};
