#pragma once
// The main window's controls, named as the window's design names them: the
// tool bar and menu items the window owns, and the panels' controls it
// shows them by.
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QSlider;
class QSpinBox;
class QSplitter;
class QToolBar;
class QToolButton;
class StepGridView;

struct MainControls {
  StepGridView* StringGrid1 = nullptr;
  QToolBar* ToolBar1 = nullptr;
  QToolButton *ToolButton1 = nullptr, *ToolButton2 = nullptr, *ToolButton3 = nullptr,
              *ToolButton5 = nullptr, *ToolButton6 = nullptr, *ToolButton7 = nullptr,
              *ToolButton8 = nullptr, *ToolButton10 = nullptr, *ToolButton13 = nullptr,
              *ToolButton14 = nullptr, *ToolButton16 = nullptr, *ToolButton19 = nullptr;
  QComboBox *TimeBar = nullptr, *ComboBox1 = nullptr;
  QLineEdit *Edit2 = nullptr, *BpmBox = nullptr;
  QSpinBox* Loop = nullptr;
  QSlider *Panning = nullptr, *Delay = nullptr;
  QLabel *Label6 = nullptr, *Image1 = nullptr;
  QListWidget *MusicLib = nullptr, *SongList = nullptr;
  QToolButton *BitBtn1 = nullptr, *BitBtn2 = nullptr, *LibBin = nullptr, *SongBin = nullptr,
              *UpDownUp = nullptr, *UpDownDown = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QSplitter* Splitter = nullptr;  // between the lists and the grid
  QAction *InsertInstrumentAction = nullptr, *UndoAction = nullptr, *RedoAction = nullptr;
  QAction *ExportStemsAction = nullptr, *ExportMidiAction = nullptr, *CollectSongAction = nullptr,
          *LoopExactAction = nullptr, *MonoStemsAction = nullptr;
};
