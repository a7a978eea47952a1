#pragma once
// TMakit, the "Kit maker" window: builds a new kit from WAV files, one row per
// instrument (name box, radio button, "..." picker), listens to a row and
// saves the kit as a kit library file. A thin view of KitMaker.
#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "kit/DXSounds.h"
#include "kit/KitMaker.h"
#include "kit/SoundWindow.h"

class Prompts;
class QIcon;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTimer;
class QToolBar;
class QToolButton;
class TWaveCollection;
class WaveformView;

class TMakit : public QMainWindow {
  Q_OBJECT
 public:
  // Wider than the rows' controls: each row also shows the file it holds
  // and a small waveform of its sound.
  static constexpr int kClientWidth = 450;
  static constexpr int kWaveformHeight = 72;
  // The play line moves at about 30 frames a second.
  static constexpr int kPlayLineMs = 33;
  static constexpr int kClientHeight = 401;

  // Creates the window hidden.
  explicit TMakit(QWidget* parent = nullptr);
  ~TMakit() override;

  // Menu "Edit" > "Kit Maker" of the main window: shows the rows of mainKit,
  // asks whether to template it and prepares the new kit. Errors are shown
  // through prompts; the window stays open.
  void KitMakeClick(const TWaveCollection& mainKit, const std::filesystem::path& homeDir,
                    Prompts& prompts);

  KitMaker& Maker() { return *maker_; }
  TDXSound& Sound() { return DXSound; }

  // Controls, named as the design names them.
  QToolBar* ToolBar1 = nullptr;
  QToolButton *ToolButton1 = nullptr, *ToolButton5 = nullptr, *ToolButton7 = nullptr;
  QToolButton* RemoveButton = nullptr;  // takes the selected row out
  QScrollArea* ScrollBox1 = nullptr;
  // The selected row's sound, with a line where it plays while listening.
  WaveformView* Waveform = nullptr;
  // The rows' controls, in row order.
  const std::vector<QLineEdit*>& NameEdits() const { return edits_; }
  const std::vector<QRadioButton*>& RadioButtons() const { return radios_; }
  const std::vector<QPushButton*>& FileButtons() const { return fileButtons_; }
  const std::vector<QLabel*>& FileLabels() const { return fileLabels_; }
  const std::vector<WaveformView*>& RowWaveforms() const { return rowWaveforms_; }

  // Handlers.
  void GetKitList(const TWaveCollection& mainKit);
  void GetRadioTag(int tag);
  void GetButtonTag(int tag);
  void Load_sampleClick();
  void PlayClick();
  void ToolButton5Click();
  void RemoveClick();
  void Save_libraryClick();
  void DXSoundFinalize();

 private:
  void BuildToolBar();
  QToolButton* AddToolButton(const QIcon& icon, const QString& hint, void (TMakit::*handler)());
  void AddRowControls(int row);
  void RebuildRows();
  // Whether the rows without a sound go into the kit; nothing when the user
  // cancels.
  std::optional<bool> AskKeepSilentRows();
  void ResizeRows();
  // Shows the rows' names and the selected row; never runs a handler.
  void Refresh();
  void ShowWaveforms();
  // Moves the play lines; the timer runs while a row is heard.
  void ShowPlayingFrame();
  void Guarded(const std::function<void()>& action);

  SoundWindow soundWindow_;
  TDXSound DXSound{&soundWindow_};
  std::unique_ptr<KitMaker> maker_;
  std::filesystem::path homeDir_;
  QWidget* rows_ = nullptr;
  std::vector<QLineEdit*> edits_;
  std::vector<QRadioButton*> radios_;
  std::vector<QPushButton*> fileButtons_;
  std::vector<QLabel*> fileLabels_;
  std::vector<WaveformView*> rowWaveforms_;
  QTimer* playLineTimer_ = nullptr;
};
