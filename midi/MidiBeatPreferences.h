#pragma once
// The Preferences group for the beat at midi_out, a followed MIDI clock and
// MIDI control: each change is kept at once and put to use by the program's
// MIDI link, when there is one.
#include <QWidget>
#include <array>

#include "midi/MidiBeatSettings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

class MidiBeatPreferences : public QWidget {
 public:
  explicit MidiBeatPreferences(QWidget* parent = nullptr);

  void Show(const MidiBeatSettings& settings);
  const MidiBeatSettings& Chosen() const { return settings_; }
  // A trigger learned for an action: shown, kept and used.
  void Learned(MidiAction action, const MidiTrigger& trigger);

  QCheckBox* SendNotesBox = nullptr;
  QCheckBox* SendClockBox = nullptr;
  QCheckBox* FollowClockBox = nullptr;
  QCheckBox* TransportBox = nullptr;
  QComboBox* StartPlaysBox = nullptr;
  std::array<QLabel*, kMidiActions> TriggerLabels{};
  std::array<QPushButton*, kMidiActions> LearnButtons{};
  std::array<QPushButton*, kMidiActions> ClearButtons{};

 private:
  QWidget* BuildBeatGroup();
  QWidget* BuildControlGroup();
  void TakeBoxes();
  void Changed();
  void Learn(MidiAction action);
  void ShowTriggers();

  MidiBeatSettings settings_;
  int learning_ = -1;
};
