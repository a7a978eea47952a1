#pragma once
// TSequence, the main window: pattern library, play list, tempo bar,
// instrument chooser with its pan bar, tool bar and step grid. Its handlers
// call core and then refresh the widgets from it.
#include <QMainWindow>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "kit/DXSounds.h"
#include "kit/DXWaveList.h"
#include "kit/InstrumentTable.h"
#include "kit/PanningTable.h"
#include "kit/SoundWindow.h"
#include "pattern/HomeFiles.h"
#include "pattern/PatternGrid.h"
#include "pattern/PatternLibrary.h"
#include "pattern/TimeBeat.h"
#include "pattern/UndoCommands.h"
#include "render/RenderFlow.h"
#include "render/RenderPrep.h"
#include "song/EditorSlotAccess.h"
#include "song/KitPlaybackSound.h"
#include "song/PlayList.h"
#include "song/PlaybackEngine.h"
#include "song/PlaybackHost.h"
#include "song/RecoveryWriter.h"
#include "song/SequencerCore.h"
#include "song/UnsavedChanges.h"
#include "song/UpDownArrows.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class HelpWindow;
class QMenu;
class QProgressBar;
class QSlider;
class QSpinBox;
class QSplitter;
class QTimer;
class QUndoGroup;
class QUndoStack;
class QToolBar;
class QToolButton;
class SampleEditor;
class SlotPlayer;
struct PatternValues;
class StepGridView;
class TForm2;
class TKit_List;
class TMakit;
class TForm1;

class TSequence : public QMainWindow, public PlaybackHost {
  Q_OBJECT
 public:
  explicit TSequence(QWidget* parent = nullptr);
  ~TSequence() override;

  static constexpr int kMinimumHeight = 540;
  static constexpr int kDesignWidth = 580;

  // Core state the window shows.
  PatternGrid& Grid() { return grid_; }
  const PatternLibrary& Library() const { return library_; }
  const std::filesystem::path& HomeDir() const { return homeDir_; }
  int CellJump() const { return cellJump_; }
  const PendingTimeBeat& Pending() const { return pending_; }
  int LastKitIndex() const { return instruments_.LastKitIndex(); }
  const InstrumentTable& Instruments() const { return instruments_; }
  std::vector<std::string> ChooserEntries() const;
  std::string ChooserText() const;
  TDXWaveList& Kit() { return DXWaveList1; }
  TDXSound& Sound() { return DXSound1; }
  bool FirstLoad() const { return firstLoad_; }

  // Windows created after this one; the start-up reaches none of them.
  void SetOptionsWindow(TForm2* options) { options_ = options; }
  void SetKitListWindow(TKit_List* kitList);
  void SetKitMakerWindow(TMakit* kitMaker) { kitMaker_ = kitMaker; }
  void SetRenderWindow(TForm1* renderWindow, std::function<SlotSounds()> slots);
  void SetSlotPlayer(SlotPlayer* player) {
    slotPlayer_ = player;
    playbackSound_.SetSlotPlayer(player);
  }
  PlaybackEngine& Engine() { return engine_; }
  // The sample editor's slots, for pattern and song files.
  void SetSampleEditor(SampleEditor* editor);
  const PlayList& Songs() const { return playList_; }
  const std::string& PatternName() const { return patternName_; }

  // Controls, named as the window's design names them.
  StepGridView* StringGrid1 = nullptr;
  QToolBar* ToolBar1 = nullptr;
  QToolButton *ToolButton1 = nullptr, *ToolButton2 = nullptr, *ToolButton3 = nullptr,
              *ToolButton5 = nullptr, *ToolButton6 = nullptr, *ToolButton7 = nullptr,
              *ToolButton8 = nullptr, *ToolButton10 = nullptr, *ToolButton13 = nullptr,
              *ToolButton14 = nullptr, *ToolButton16 = nullptr, *ToolButton19 = nullptr;
  QComboBox* TimeBar = nullptr;
  QLineEdit* Edit2 = nullptr;
  QSpinBox* Loop = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QSlider* Panning = nullptr;
  QSlider* Delay = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Image1 = nullptr;
  QListWidget* MusicLib = nullptr;
  QListWidget* SongList = nullptr;
  QToolButton *BitBtn1 = nullptr, *BitBtn2 = nullptr, *LibBin = nullptr, *SongBin = nullptr,
              *UpDownUp = nullptr, *UpDownDown = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QSplitter* Splitter = nullptr;  // between the lists and the grid
  QAction* InsertInstrumentAction = nullptr;
  QAction* UndoAction = nullptr;
  QAction* RedoAction = nullptr;
  QMenu* EditMenu = nullptr;

  // Editing handlers.
  void StringGrid1MouseUp(Qt::MouseButton button);
  void Insertinstrument1Click();
  void FormKeyPress(char key);
  void StringGrid1KeyDown();
  void BitBtn7Click();
  void TimeBarChange();
  void BitBtn13Click();
  void Edit2Change();
  void LoopChange();
  void ComboBox1Change();
  void CellJump1Click();
  void SetCellJump(int cellJump) { cellJump_ = cellJump; }

  // The kit and the instrument chooser.
  void GetDrumLibrary();
  void SoundLibrary1Click();
  void PanningChange();
  void PanningReleased();
  void BitBtn11Click();
  void KitList1Click();
  // Edit > Extra samples: brings the slot window back once it was closed.
  void ExtraSamplesClick();
  void SetSamplesWindow(QWidget* samples) { samples_ = samples; }
  void KitMakeClick();
  void SelectInstrument(int tag);
  // Puts a text into the chooser as if the user had chosen it.
  void ChooseInstrument(const std::string& text);

  // Undo: what the commands do to the window, and the two histories.
  void ApplyGridEdit(const GridEdit& edit, bool undo);
  void ShowLoops(int loops);
  void RestorePlayList(const PlayListState& state);
  void ShowPan(const std::string& entry, int pan);
  QUndoStack* GridUndo() const { return gridUndo_; }
  QUndoStack* PlayListUndo() const { return listUndo_; }

  // Start-up, close and resize.
  void FormCreate();
  void FormClose();
  // Both players stop; called when the window closes and before the
  // windows it plays through go.
  void Shutdown();
  // Told once the window has closed: the program ends.
  std::function<void()> OnClosed;
  void FormResize();
  void Exit1Click();

  // Work that survives a crash (pattern/SequencerRecovery.cpp). From
  // KeepRecovery on, the window keeps copies of unsaved work in
  // temp/recovery/ every kRecoveryInterval; first it offers the copies a
  // run that did not end cleanly left. Only the program holding the home's
  // lock calls it.
  static constexpr std::chrono::seconds kRecoveryInterval{10};
  void KeepRecovery();
  bool KeepsRecovery() const { return recovery_ != nullptr; }
  // The timer's work: copies what differs from its file, removes the rest,
  // on the recovery writer's thread. Flush waits until it is on disk.
  void KeepRecoveryFiles();
  void FlushRecoveryFiles();
  // Ends the program as closing the window does, without a question: the
  // unsaved work stays in the recovery files (a signal asked to end).
  void CloseQuietly();
  // The program ends by exit(): the timers' workers end and the unsaved
  // work is copied; nothing else is touched.
  void StopForExit();
  void HelpClick();
  HelpWindow* Help() const { return helpWindow_; }

  // Playback: the players live in the engine; these forward to it.
  void ToolButton3Click();
  void ToolButton8Click();
  void ToolButton19Click();
  int RepeatPatternImage() const { return engine_.RepeatPatternImage(); }
  int RepeatListImage() const { return engine_.RepeatListImage(); }
  int GlobalSpeedImage() const { return engine_.GlobalSpeedImage(); }
  void BitBtn3Click();
  void BitBtn12Click();
  void BitBtn4Click();
  void DelayChange();

  // Pattern files, the library and the play list.
  void BitBtn6Click();
  void LibBinClick();
  void MusicLibDblClick();
  void BitBtn2Click();
  void UpDown1Click(Arrow arrow);
  void SongBinClick();
  void BitBtn10Click();
  void SongListMouseDown(int row);
  void RendorClick();
  // The File menu's exports and their check boxes (render/SequencerExport.cpp).
  void ExportStemsClick();
  void ExportMidiClick();
  void CollectSongClick();
  QAction *ExportStemsAction = nullptr, *ExportMidiAction = nullptr, *CollectSongAction = nullptr,
          *LoopExactAction = nullptr, *MonoStemsAction = nullptr;
  void New_SongClick();
  void BitBtn8Click();
  void BitBtn9Click();
  // Opens a song named on the command line, as "Open Song" would.
  void OpenSongAtStart(const std::string& path);

  // What the players need of the window.
  std::string Cell(int col, int row) const override { return grid_.Cell(col, row); }
  int DelayPosition() const override;
  void SetDelayPosition(int position) override;
  void ShowBeatsPerMinute(int beatsPerMinute) override;
  void EnablePlayButton(PlayButton button, bool enabled) override;
  int PlayListCount() const override;
  void SelectPlayListEntry(int index) override;
  void CompilePlayList(std::vector<std::string>& sequence) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildToolBar();
  void BuildPanels(QWidget* client);
  QWidget* BuildLibraryPanel();
  QWidget* BuildPlayListPanel();
  QWidget* BuildTempoBar();
  QWidget* BuildInstrumentsPanel();
  void BuildMenu();
  void BuildExportMenu(QMenu* file);
  RenderHost RenderHostOf();
  void BuildUndo();
  void PushGridEdit(const QString& text, GridEdit edit,
                    std::optional<GridCommand::Loops> loops = std::nullopt,
                    int merge = GridCommand::kNoMerge);
  // Pushes the change from before to the list as it stands now.
  void PushPlayListEdit(const QString& text, const PlayListState& before, GridEdit grid = {});
  void PushPan(const std::string& entry, int before, int after);
  void ClearGridUndo();
  void ClearPlayListUndo();
  QToolButton* AddToolButton(int icon, const QString& hint, void (TSequence::*handler)());
  // False when the action raised (its error has been shown).
  bool Guarded(const std::function<void()>& action);
  void RefreshGrid();
  void RefreshLibrary();
  void RefreshPlayList();
  PatternValues CurrentValues() const;
  void ShowUnsavedMarks();
  // Closing with unsaved work asks to save it; false when the user cancels.
  bool AskToSaveBeforeClosing();
  void ShowPatternValues(const PatternValues& values);
  SequencerCore Core();
  void ShowChooserItems();
  void ShowKitInChooser();
  void ShowPanOf(int chooserIndex);
  void SoundCellInstrument(const std::string& text);
  void ShowToggles();
  // Runs one start-up step; a failure is shown and the next steps still run.
  void StartUpStep(const std::function<void()>& step);
  void RestoreRecoveredWork();

  SoundWindow soundWindow_;
  TDXSound DXSound1{&soundWindow_};
  TDXWaveList DXWaveList1;
  InstrumentTable instruments_;
  PatternGrid grid_;
  KitPlaybackSound playbackSound_{instruments_, DXWaveList1, DXSound1};
  PatternLibrary library_;
  PlayList playList_;
  UpDownArrows upDown_;
  std::unique_ptr<EditorSlotAccess> slotAccess_;
  std::string patternName_;
  PendingTimeBeat pending_;
  PanningTable panningTable_;
  UnsavedChanges unsaved_;
  std::filesystem::path homeDir_;
  std::string kitFileName_ = "power.dxg";
  int cellJump_ = 0;
  bool firstLoad_ = false;
  bool kitLoaded_ = false;
  TKit_List* kitList_ = nullptr;
  QWidget* samples_ = nullptr;
  HelpWindow* helpWindow_ = nullptr;  // made on first use, owned as a child
  TMakit* kitMaker_ = nullptr;
  TForm1* renderWindow_ = nullptr;
  std::function<SlotSounds()> renderSlots_;
  ExportSettings exportSettings_;
  SlotPlayer* slotPlayer_ = nullptr;
  bool closed_ = false;
  bool closingQuietly_ = false;
  std::unique_ptr<RecoveryWriter> recovery_;
  QTimer* recoveryTimer_ = nullptr;
  std::atomic<bool> recoveryTroubleTold_{false};
  TForm2* options_ = nullptr;
  QUndoGroup* undoGroup_ = nullptr;
  QUndoStack* gridUndo_ = nullptr;
  QUndoStack* listUndo_ = nullptr;
  int shownLoops_ = 1;    // the loop count before the user's latest change
  int panDragStart_ = 0;  // the pan when the bar was grabbed
  // Last: the players stop before anything they use goes.
  PlaybackEngine engine_;
};
