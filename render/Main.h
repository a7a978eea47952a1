#pragma once
// TMainForm, the sample editor: opens a WAV file into the chosen sample slot,
// plays it and sets its pan, volume and pitch. A thin view of SampleEditor.
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "kit/DXSounds.h"
#include "kit/SoundWindow.h"
#include "render/SampleEditor.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSlider;
class QTimer;
class WaveformView;

class TMainForm : public QMainWindow {
  Q_OBJECT
 public:
  // Wide enough for the values beside the bars.
  static constexpr int kClientWidth = 310;
  // The controls above, the sound's waveform below them.
  static constexpr int kClientHeight = 243;
  static constexpr int kWaveformTop = 174;
  // The play line moves at about 30 frames a second.
  static constexpr int kPlayLineMs = 33;

  // Creates the window hidden; its sound device and the 32 slots are made here.
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  SampleEditor& Editor() { return *editor_; }
  SampleSlots& Slots() { return editor_->Slots(); }
  TDXSound& Sound() { return DXSound; }

  // What the Extra samples window and the loaders use.
  int CurrentSlot() const { return editor_->CurrentSlot(); }
  void SetCurrentSlot(int n);
  void SetCaption(const std::string& caption);
  std::string Caption() const { return editor_->Controls().caption; }
  void LoadSlotControls(int n);
  void MarkHoldingSample();
  // Told the new caption of slot n's button when a file is opened here.
  void SetSlotButtonCaptionHandler(
      std::function<void(int slot, const std::string& caption)> handler);

  // Controls, named as the design names them.
  QLabel* Label1 = nullptr;
  QLabel *Image1 = nullptr, *Image2 = nullptr, *Image3 = nullptr, *Image4 = nullptr;
  QSlider* FrequencyTrackBar = nullptr;
  QSlider* VolumeTrackBar = nullptr;
  QSlider* PanTrackBar = nullptr;
  QLabel *FrequencyLabel = nullptr, *VolumeLabel = nullptr, *PanLabel = nullptr;
  // Each bar's value: "22050 Hz -12.0 st", "-12 dB", "L 50 %".
  QLabel *FrequencyValue = nullptr, *VolumeValue = nullptr, *PanValue = nullptr;
  QPushButton* PlayButton = nullptr;
  QPushButton* Button1 = nullptr;
  QMenu* FileMenu = nullptr;
  QMenu* O1 = nullptr;
  QAction *FileOpen = nullptr, *FileClose = nullptr, *FileEnd = nullptr;
  QAction* GlobalFocusItem = nullptr;
  // The current slot's sound, with a line where it plays.
  WaveformView* Waveform = nullptr;

  // Handlers.
  void FileOpenClick();
  void FileCloseClick();
  void FileEndClick();
  void PanTrackBarChange();
  void VolumeTrackBarChange();
  void FrequencyTrackBarChange();
  void PlayButtonClick();
  void Image1Click();
  void Image2Click();
  void GlobalFocusItemClick();
  void Button1Click();

  // Told after every action of the user here: a slot's file, pitch, pan or
  // volume may have changed, which the song holds.
  std::function<void()> OnUserAction;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  void BuildControls(QWidget* client);
  void BuildMenu();
  QSlider* AddTrackBar(QWidget* client, const char* name, int y, int min, int max);
  void Guarded(const std::function<void()>& action);
  void Connect(QObject* sender, void (TMainForm::*handler)());
  void SemitoneClick(QLabel* image, int step);
  // The semitone image a click or a key on watched presses, if any.
  bool PressesImage(QObject* watched, QEvent* event) const;
  void ShowValues();
  // Shows the editor's state; never runs a handler.
  void Refresh();
  // Moves the play line; the timer runs while the slot plays.
  void ShowPlayingFrame();

  SoundWindow soundWindow_;
  TDXSound DXSound{&soundWindow_};
  std::unique_ptr<SampleEditor> editor_;
  QTimer* playLineTimer_ = nullptr;
};
