#pragma once
// Options › Preferences: the sound output (driver, device, block size with
// the latency it gives) and the MIDI ports, applied at once without a
// restart and kept.
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "kit/SoundOutputChoice.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;
class MidiPreferencesPage;
class JackPreferences;

class TPreferences : public QDialog {
 public:
  // outputs must outlive the dialog; testSound plays on the output in use.
  TPreferences(SoundOutputs& outputs, std::function<void()> testSound, QWidget* parent = nullptr);

  // Shows the stored choice and what the system offers now.
  void ShowChoice();
  // What the boxes say.
  SoundOutputChoice Chosen() const;
  // Puts the chosen output to use, keeps it and plays the test sound; a
  // choice that cannot be opened falls back to the default, with a message.
  void Apply();

  QComboBox* DriverBox = nullptr;
  QComboBox* DeviceBox = nullptr;
  QComboBox* BlockBox = nullptr;
  QDialogButtonBox* Buttons = nullptr;
  // The MIDI group, when the program has live MIDI.
  MidiPreferencesPage* MidiPage = nullptr;
  JackPreferences* Jack = nullptr;

 private:
  void ShowDevices(const std::string& device);
  void Select(QComboBox* box, const QString& data);

  SoundOutputs& outputs_;
  std::function<void()> testSound_;
};
