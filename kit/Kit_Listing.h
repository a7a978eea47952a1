#pragma once
// TKit_List, the "Kit List" window: one row per kit instrument, its label
// (a click chooses that instrument in the main window), its mute (M) and solo
// (S) buttons, its level and a meter of what it plays.
#include <QElapsedTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kit/WaveformCache.h"
#include "song/SongSettings.h"

class LevelMeter;
class QLabel;
class QMenu;
class QScrollArea;
class QSlider;
class QTimer;
class QToolButton;
class TWaveCollection;
class WaveformView;

class TKit_List : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kWidth = 290;
  static constexpr int kMeterIntervalMs = 33;

  explicit TKit_List(QWidget* parent = nullptr);

  // Sets the title and widens the window, if need be, so the window manager
  // shows it whole beside its buttons.
  void ShowTitle(const QString& title);

  // Rebuilds the labels for entries 1 .. K-1 of the kit.
  void PaintLabels(const TWaveCollection& kit);
  // Called with the label's tag when one is clicked.
  std::function<void(int tag)> OnSelectInstrument;
  const std::vector<QLabel*>& Labels() const { return labels_; }

  // While the mouse is on an instrument's name, a small waveform of its
  // sound shows below it.
  static constexpr int kHoverWaveformWidth = 160;
  static constexpr int kHoverWaveformHeight = 48;
  QWidget* HoverPopup() const { return hoverPopup_; }
  WaveformView* HoverWaveform() const { return hoverWaveform_; }

  struct MixRow {
    std::string name;  // as the chooser shows it, padding cut
    QToolButton* mute = nullptr;
    QToolButton* solo = nullptr;
    QSlider* level = nullptr;  // tenths of a decibel; its bottom is −inf
    LevelMeter* meter = nullptr;
  };
  const std::vector<MixRow>& Rows() const { return rows_; }
  // The song's mix shown again; no handler runs.
  void ShowMix(const KitMix& mix);
  // The user changed an instrument's mix; level: a level control moved
  // (its steps while dragging make one change).
  std::function<void(const std::string& name, const InstrumentMix& mix, bool level)> OnMixChanged;
  // The peak of the instrument at a kit index since it was last asked,
  // polled while the window shows; OnMetering says when polling starts and stops.
  std::function<float(int kitIndex)> TakePeak;
  std::function<void(bool on)> OnMetering;
  // One poll of the meters, as the timer makes it.
  void PollMeters();

  // Right-click on an instrument › "Learn MIDI note": told the instrument's
  // name (as its row shows it).
  std::function<void(const std::string& instrument)> OnLearnMidiNote;
  // The menu a right-click on an instrument opens, and whose it is.
  QMenu* InstrumentMenu() const { return instrumentMenu_; }
  const std::string& InstrumentMenuFor() const { return menuInstrument_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  MixRow MakeRow(QWidget* content, const std::string& name, int y);
  void RowChanged(const MixRow& row, bool level);
  void ShowHoverWaveform(QLabel* label, int tag);

  void ShowInstrumentMenu(int tag, const QPoint& at);

  QScrollArea* scrollBox_ = nullptr;
  QMenu* instrumentMenu_ = nullptr;
  std::string menuInstrument_;
  std::vector<QLabel*> labels_;
  std::vector<MixRow> rows_;
  KitMix shown_;
  QTimer* meterTimer_ = nullptr;
  QElapsedTimer sincePoll_;
  WaveformCache waveformCache_{256};
  std::vector<std::shared_ptr<const WaveformPeaks>> waveforms_;  // per label
  QWidget* hoverPopup_ = nullptr;
  WaveformView* hoverWaveform_ = nullptr;
};

// The level slider's bottom (−inf) and top (+6.0 dB), in tenths of a decibel.
inline constexpr int kLevelSliderSilent = -401;
inline constexpr int kLevelSliderTop = 60;
int LevelOfSlider(int tenths);
int SliderOfLevel(int centiDb);
// "+1.5 dB", "-inf dB".
std::string LevelText(int centiDb);

// "Kick      [ ]" shows as "Kick": the last 3 characters go, then the blanks.
std::string KitLabelCaption(const std::string& entryName);
