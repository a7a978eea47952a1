#pragma once
// The song's groove: swing and the two humanize amounts in three spin
// boxes. It shows the edited song's groove and tells each change the user
// makes; the program's own updates are not told.
#include <QGroupBox>

#include "song/SongSettings.h"

class QDoubleSpinBox;
class QSpinBox;

class GroovePanel : public QGroupBox {
  Q_OBJECT
 public:
  explicit GroovePanel(QWidget* parent = nullptr);

  void ShowGroove(const Groove& groove);
  // What the boxes show, the seed left as given.
  Groove Shown(std::uint32_t seed) const;

  QSpinBox* SwingBox = nullptr;
  QSpinBox* TimingBox = nullptr;
  QDoubleSpinBox* LoudnessBox = nullptr;

 Q_SIGNALS:
  void SwingEdited();
  void TimingEdited();
  void LoudnessEdited();
};
