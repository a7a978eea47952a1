#pragma once
// The pattern editor: the step grid, and the controls of the pattern that
// stand in the main window's tool bar (length/time, name, Clear, loop
// count). It shows the edited song's pattern and tells what the user did.
#include <QWidget>
#include <string>

class EditedSong;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QToolButton;
class StepGridView;

class PatternPanel : public QWidget {
  Q_OBJECT
 public:
  explicit PatternPanel(EditedSong& song, QWidget* parent = nullptr);

  // Shows cells, name, loop count and whether the pattern differs from its file.
  void Show();
  QString NameText() const;

  StepGridView* StringGrid1 = nullptr;
  QLabel* Label3 = nullptr;
  QComboBox* TimeBar = nullptr;
  QToolButton *ToolButton13 = nullptr, *ToolButton16 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QSpinBox* Loop = nullptr;

 Q_SIGNALS:
  void CellReleased(Qt::MouseButton button);
  void DeletePressed();
  void CharacterTyped(char character);
  void TimeTextChanged();
  void UpdateTimePressed();
  void NameEdited();
  void ClearPressed();
  void LoopsChanged();

 private:
  void BuildToolBarControls();

  EditedSong& song_;
  // The length and time the selector was last set to: a choice the user
  // made there stays until the pattern's own change.
  std::string shownMeter_;
};
