#pragma once
// Tempo and instruments: the pattern's tempo bar, the instrument chooser
// with its pan bar, and the beats-per-minute read-out of what plays.
#include <QWidget>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;

class InstrumentPanel : public QWidget {
  Q_OBJECT
 public:
  explicit InstrumentPanel(QWidget* parent = nullptr);

  // Program moves: none of them is told as the user's.
  void ShowTempo(int position);
  void ShowBeatsPerMinute(double beatsPerMinute);
  void ShowChooserItems(const std::vector<std::string>& items);
  void ShowPan(int pan);
  // The chooser's text without control characters (pasted ones leave it).
  std::string ChooserText() const;
  void CleanChooserText();

  QSlider* Delay = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QSlider* Panning = nullptr;
  QLabel* Label6 = nullptr;
  // A tempo typed in BPM; it shows the tempo the nearest position gives.
  QLineEdit* BpmBox = nullptr;
  std::string BpmText() const;

 Q_SIGNALS:
  // A user's move of the tempo bar: a drag, a key, the wheel.
  void TempoMoved();
  void TempoTyped();
  void ChooserChanged();
  void PanMoved();
  void PanGrabbed();
  void PanReleased();

 private:
  QWidget* BuildTempoBar();
  QWidget* BuildInstruments();
};
