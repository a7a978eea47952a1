#pragma once
// TSequence, the main window: it builds the panels (pattern editor, song
// lists, tempo and instruments) over one edited song, keeps the menus, the
// tool bar and the one history, and forwards what the user does as
// commands on the song. The players read the song through their host.
#include <QElapsedTimer>
#include <QMainWindow>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "kit/DXSounds.h"
#include "kit/DXWaveList.h"
#include "kit/InstrumentTable.h"
#include "kit/KitPanning.h"
#include "kit/PanningTable.h"
#include "kit/SoundWindow.h"
#include "pattern/MainControls.h"
#include "pattern/SongCommand.h"
#include "pattern/TimeBeat.h"
#include "render/RenderFlow.h"
#include "render/RenderPrep.h"
#include "song/EditedSong.h"
#include "song/EditorSlotAccess.h"
#include "song/KitPlaybackSound.h"
#include "song/PlaybackEngine.h"
#include "song/RecoveryWriter.h"
#include "song/ReplaceQuestion.h"
#include "song/SongPlaybackHost.h"
#include "song/UpDownArrows.h"

class GroovePanel;
class HelpWindow;
class InstrumentPanel;
class LevelMeter;
class Mixer;
class PatternPanel;
class SampleEditor;
class SlotPlayer;
class SongPanel;
class SongStatus;
class TForm1;
class TForm2;
class TKit_List;
class TPreferences;
class TMakit;
class QMenu;
class QTimer;
class QUndoStack;

class TSequence : public QMainWindow, public MainControls {
  Q_OBJECT
 public:
  explicit TSequence(QWidget* parent = nullptr);
  ~TSequence() override;
  static constexpr int kMinimumHeight = 540;
  static constexpr int kDesignWidth = 580;
  static constexpr int kHistoryLimit = 500;
  static constexpr std::chrono::seconds kRecoveryInterval{10};

  // The song being edited, the kit and the players.
  EditedSong& Song() { return song_; }
  PatternGrid& Grid() { return song_.Grid(); }
  const PlayList& Songs() const { return song_.List(); }
  const std::filesystem::path& HomeDir() const { return song_.Home(); }
  TDXWaveList& Kit() { return DXWaveList1; }
  TDXSound& Sound() { return DXSound1; }
  const InstrumentTable& Instruments() const { return instruments_; }
  std::vector<std::string> ChooserEntries() const { return instruments_.Items(); }
  std::string ChooserText() const;
  PlaybackEngine& Engine() { return engine_; }
  // The kit as playback sounds it, and the kit file it was loaded from.
  KitPlaybackSound& KitSound() { return playbackSound_; }
  const std::filesystem::path& KitPath() const { return kitPath_; }
  // A note played on a MIDI keyboard while Record is on: the cell goes into
  // the row; the hits of one recorded pass are one step of the history.
  void RecordMidiHit(int row, const std::string& cellText, int pass);
  QUndoStack* History() const { return history_; }
  int CellJump() const { return cellJump_; }
  // Kept in the settings store as it changes.
  void SetCellJump(int cellJump);
  // The window's place and size, the docks, the splitter and the cell jump,
  // to and from the settings store. Restoring says whether a stored place
  // fitting a screen was taken.
  void SaveSettings();
  bool RestoreSettings();
  int RepeatPatternImage() const { return engine_.RepeatPatternImage(); }
  int RepeatListImage() const { return engine_.RepeatListImage(); }
  int GlobalSpeedImage() const { return engine_.GlobalSpeedImage(); }

  // Windows created after this one; the start-up reaches none of them.
  void SetOptionsWindow(TForm2* options) { options_ = options; }
  void SetKitListWindow(TKit_List* kitList);
  void SetKitMakerWindow(TMakit* kitMaker) { kitMaker_ = kitMaker; }
  void SetRenderWindow(TForm1* renderWindow, std::function<SlotSounds()> slots);
  void SetSlotPlayer(SlotPlayer* player);
  void SetSampleEditor(SampleEditor* editor);
  void SetSamplesWindow(QWidget* samples) { samples_ = samples; }
  // The sample editor changed a slot: the song may now differ from its file.
  void SlotsChanged() { ShowSong(); }

  // Handlers, by the names of the design (each says what the user pressed).
  void StringGrid1MouseUp(Qt::MouseButton button);
  void Insertinstrument1Click(), StringGrid1KeyDown(), BitBtn7Click(), TimeBarChange();
  void FormKeyPress(char key);
  void BitBtn13Click(), Edit2Change(), LoopChange(), ComboBox1Change(), CellJump1Click();
  void NewPatternClick();
  void CopyClick(), CutClick(), PasteClick(), DuplicateStepsClick();
  void GetDrumLibrary(), SoundLibrary1Click(), PanningChange(), PanningReleased();
  // Import › Drum kit (Hydrogen or SFZ)...
  void ImportDrumKitClick();
  void BitBtn11Click(), KitList1Click(), ExtraSamplesClick(), KitMakeClick();
  // Options › Preferences: the sound output.
  void PreferencesClick();
  TPreferences* PreferencesWindow() const { return preferences_; }
  void SelectInstrument(int tag);
  void ChooseInstrument(const std::string& text);
  void FormCreate(), FormClose(), FormResize(), Exit1Click(), HelpClick();
  void ToolButton3Click(), ToolButton8Click(), ToolButton19Click();
  void BitBtn3Click(), BitBtn12Click(), BitBtn4Click(), DelayChange(), BpmTyped();
  void BitBtn6Click(), LibBinClick(), MusicLibDblClick(), BitBtn2Click(), SongBinClick();
  void UpDown1Click(Arrow arrow);
  void BitBtn10Click(), RendorClick(), New_SongClick(), BitBtn8Click(), BitBtn9Click();
  void SongListMouseDown(int row);
  void SaveSongAsClick();
  // File > Open Recent: a song last opened or saved.
  void OpenRecentSong(const std::string& path);
  bool AskPatternName();
  void ExportStemsClick(), ExportMidiClick(), CollectSongClick();
  // Opens a song named on the command line, as "Open Song" would.
  void OpenSongAtStart(const std::string& path);
  // A session manager's save: the song to songFile (it becomes the song's
  // file), the grid's named pattern to its own file; nothing is asked.
  // Returns what was kept, for the manager; the file's error raises.
  std::string SaveForSession(const std::filesystem::path& songFile);
  // Work that closing would lose: the song's or the grid's.
  bool WorkUnsaved() { return song_.SongUnsaved() || song_.PatternUnsaved(); }
  // Told whenever the window shows the song: whether work is unsaved.
  std::function<void(bool)> OnUnsavedShown;

  // The program's life: both players stop (Shutdown); OnClosed is told once
  // the window closed. Recovery copies of unsaved work are kept from
  // KeepRecovery on; the quiet ends ask nothing and keep them.
  void Shutdown();
  std::function<void()> OnClosed;
  void KeepRecovery(bool holdsLock = true);
  bool KeepsRecovery() const { return recovery_ != nullptr; }
  void KeepRecoveryFiles();
  void FlushRecoveryFiles();
  void CloseQuietly();
  void StopForExit();
  HelpWindow* Help() const { return helpWindow_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildToolBar();
  void BuildPanels(QWidget* client);
  void ConnectPanels();
  void BuildMenu();
  void BuildExportMenu(QMenu* file);
  void BuildHistory();
  QToolButton* AddToolButton(QToolButton* button, void (TSequence::*handler)());
  RenderHost RenderHostOf();
  // The mixer: the Kit List's rows and the output meter in the status bar.
  void ConnectKitListMix();
  void SetInstrumentMix(const std::string& name, const InstrumentMix& mix, bool level);
  void BuildOutputMeter();
  void PollOutputMeter();
  Mixer* DeviceMixer() const;
  bool Guarded(const std::function<void()>& action);
  // One step of the history; an empty change is none.
  void Push(const QString& text, SongChange change, MergeKey key = MergeKey::None);
  void ApplyChange(const SongChange& change, bool undo);
  // Shows the whole song: grid, name, loops, tempo, lists, title and star.
  void ShowSong();
  // The one question before work is replaced; false: leave everything.
  bool ReadyToReplace(Replacing what);
  void SongSaved(const std::filesystem::path& file);
  void OpenSongFile(const std::string& path);
  void BuildRecentMenu(QMenu* file);
  void ShowRecentSongs();
  void RememberSong(const std::filesystem::path& file);
  // Fills the current cell with the text or empties it; true when filled.
  bool ToggleCell(const std::string& text);
  std::vector<std::string> InstrumentsTheKitLacks();
  // A kit that would silence cells of an unsaved pattern asks first.
  bool ReadyForKit(const TWaveCollection& incoming);
  // The kit file becomes the kit in use; positions 1 .. 16 get the settings.
  void UseKitFile(const std::string& path,
                  const std::vector<std::optional<PositionSettings>>& settings);
  void ShowPanOf(int chooserIndex);
  void ShowToggles();
  // The Groove panel: a user's change of one box, and the song's groove
  // shown there and given to the players.
  void GrooveChange(MergeKey key);
  void ShowGroove();
  void StartUpStep(const std::function<void()>& step);
  // The playhead: read from the players about 60 times a second while they play.
  void FollowPlayhead();
  void ShowPlayhead();
  void RestoreRecoveredWork(const RecoveryFiles& files);

  SoundWindow soundWindow_;
  TDXSound DXSound1{&soundWindow_};
  TDXWaveList DXWaveList1;
  InstrumentTable instruments_;
  EditedSong song_;
  SongPlaybackHost playbackHost_{song_};
  KitPlaybackSound playbackSound_{instruments_, DXWaveList1, DXSound1};
  std::unique_ptr<EditorSlotAccess> slotAccess_;
  UpDownArrows upDown_;
  PendingTimeBeat pending_;
  PanningTable panningTable_;
  std::string kitFileName_ = "power.dxg";
  std::filesystem::path kitPath_;  // the kit file last loaded, in full
  int cellJump_ = 0;
  bool firstLoad_ = false, kitLoaded_ = false, closed_ = false, closingQuietly_ = false;
  PatternPanel* patternPanel_ = nullptr;
  SongPanel* songPanel_ = nullptr;
  InstrumentPanel* instrumentPanel_ = nullptr;
  GroovePanel* groovePanel_ = nullptr;
  SongStatus* songStatus_ = nullptr;
  LevelMeter* outputMeter_ = nullptr;
  QTimer* outputMeterTimer_ = nullptr;
  QElapsedTimer outputMeterClock_;
  int64_t outputClipsSeen_ = 0;
  QUndoStack* history_ = nullptr;
  QMenu* editMenu_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  TKit_List* kitList_ = nullptr;
  QWidget* samples_ = nullptr;
  HelpWindow* helpWindow_ = nullptr;  // made on first use, owned as a child
  TMakit* kitMaker_ = nullptr;
  TForm1* renderWindow_ = nullptr;
  TForm2* options_ = nullptr;
  std::function<SlotSounds()> renderSlots_;
  ExportSettings exportSettings_;
  SlotPlayer* slotPlayer_ = nullptr;
  std::unique_ptr<RecoveryWriter> recovery_;
  QTimer* recoveryTimer_ = nullptr;
  QTimer* playheadTimer_ = nullptr;
  TPreferences* preferences_ = nullptr;  // made on first use, owned as a child
  std::atomic<bool> recoveryTroubleTold_{false};
  int panDragStart_ = 0;  // the pan when the bar was grabbed
  // Last: the players stop before anything they use goes.
  PlaybackEngine engine_;
};
