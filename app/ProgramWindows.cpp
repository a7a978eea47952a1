#include "app/ProgramWindows.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include "app/HomeFolder.h"
#include "common/Guard.h"
#include "common/QtPrompts.h"
#include "kit/AudioStream.h"
#include "kit/KitMaker.h"
#include "midi/MidiBeatSettingsStore.h"
#include "pattern/ChooserSlotFiles.h"
#include "pattern/ToolDock.h"
#include "render/RenderPrep.h"
#include "render/SlotShortName.h"

namespace {
constexpr int kFramesKnownAfter = 300;  // ms
// Dialogs that a signal's end closes before it gives up waiting for them.
constexpr int kMostDialogsOnTheWay = 20;
}  // namespace

ProgramWindows::ProgramWindows()
    : midiBeat(
          sequence, [this](int slot) { return sampleEditor.Slots().Volume(slot); },
          LoadMidiBeatSettings()) {
  Wire();
}

ProgramWindows::~ProgramWindows() {
  sequence.Shutdown();
  sequence.SetSlotPlayer(nullptr);
  sequence.SetSampleEditor(nullptr);
  sequence.SetKitListWindow(nullptr);
  sequence.SetKitMakerWindow(nullptr);
  sequence.SetRenderWindow(nullptr, {});
  sequence.SetOptionsWindow(nullptr);
  sequence.SetSamplesWindow(nullptr);
  sequence.OnClosed = nullptr;
  sampleEditor.OnUserAction = nullptr;
  kitList.OnLearnMidiNote = nullptr;
  // The ports close before the link goes: nothing is sent through them after.
  midiBeat.SetSender(nullptr);
}

void ProgramWindows::Wire() {
  DockTools();
  sequence.SetSlotPlayer(&sampleEditor.Slots());
  sequence.SetSampleEditor(&sampleEditor.Editor());
  sequence.SetKitListWindow(&kitList);
  renderWindow.SetProgressBar(sequence.ProgressBar1);
  // Stop enables the play buttons again: that is the render's cancel.
  renderWindow.SetStopPressed([this] { return sequence.ToolButton1->isEnabled(); });
  sequence.SetRenderWindow(&renderWindow, [this] { return SlotSoundsOf(sampleEditor.Slots()); });
  sequence.SetKitMakerWindow(&kitMaker);
  sequence.SetOptionsWindow(&options);
  sequence.SetSamplesWindow(&samples);
  samples.OnChooseSlot = [this](int slot) {
    sequence.ChooseInstrument("Sample" + std::to_string(slot));
  };
  samples.OnOpenSlot = [this](int slot) { OpenSlotInEditor(slot); };
  sampleEditor.SetSlotButtonCaptionHandler([this](int slot, const std::string& caption) {
    samples.SlotButtons()[slot - 1]->setText(QString::fromLatin1(caption.c_str()));
  });
  sampleEditor.OnUserAction = [this] { sequence.SlotsChanged(); };
  ShowSlotFilesInChooser(*sequence.ComboBox1, [this](int slot) {
    return SlotFileTitle(sampleEditor.Slots().FileName(slot));
  });
  sequence.OnClosed = [this] { EndProgram(); };
  kitList.OnLearnMidiNote = [this](const std::string& instrument) {
    midi.StartLearning(instrument);
  };
  // The beat, the clock and MIDI control share the live ports.
  midi.Ports().AddListener(&midiBeat.Listener());
  midiBeat.SetSender(&midi.Ports());
  midiBeat.OnRecord = [this] {
    if (QAction* record = midi.RecordAction()) record->trigger();
  };
  // A pad learned as Play or Stop runs it without sounding or recording a hit.
  midiBeat.SetControlsListener(
      [this](const MidiControlMap& controls) { midi.Inbox().SetControlNotes(controls); });
}

// The Extra samples at the main window's left, the Kit List at its right,
// the window widened to hold them beside the grid as designed.
void ProgramWindows::DockTools() {
  const int grid = sequence.width();
  DockToolWindow(sequence, samples, Qt::LeftDockWidgetArea);
  DockToolWindow(sequence, kitList, Qt::RightDockWidgetArea);
  constexpr int kSeparators = 12;
  sequence.resize(grid + samples.minimumWidth() + kitList.minimumWidth() + kSeparators,
                  sequence.height());
}

// Choosing a slot in the Extra samples window opens it in the sample editor.
void ProgramWindows::OpenSlotInEditor(int slot) {
  RunGuarded(AppPrompts(), [&] {
    sampleEditor.SetCaption(SlotCaption(slot, sampleEditor.Slots().FileName(slot)));
    sampleEditor.SetCurrentSlot(slot);
    if (sampleEditor.isHidden()) sampleEditor.show();
    sampleEditor.raise();
    sampleEditor.activateWindow();
    sampleEditor.LoadSlotControls(slot);
  });
}

void ProgramWindows::OpenSongs(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments)
    if (IsSongArgument(argument)) sequence.OpenSongAtStart(argument);
}

void ProgramWindows::Show() {
  // The place of the last run, while a screen still holds it.
  const bool restored = sequence.RestoreSettings();
  if (!restored) Arrange();
  sequence.show();
  sequence.raise();
  sequence.activateWindow();
  // The window manager tells the frames' sizes only once they are shown.
  if (!restored) QTimer::singleShot(kFramesKnownAfter, &sequence, [this] { Arrange(); });
}

void ProgramWindows::Arrange() {
  const QScreen* screen = sequence.screen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  // A frame not yet known: the style's title bar and a thin border.
  const int title = sequence.style()->pixelMetric(QStyle::PM_TitleBarHeight);
  const QRect frame = sequence.frameGeometry();
  const QSize edges =
      frame.size() != sequence.size() ? frame.size() - sequence.size() : QSize(2, title + 2);
  const QSize fits = sequence.size().boundedTo(area.size() - edges);
  if (fits != sequence.size()) sequence.resize(fits);
  // Centred in the free area, its title bar never above it.
  const QSize whole = fits + edges;
  sequence.move(area.x() + std::max(0, (area.width() - whole.width()) / 2),
                area.y() + std::max(0, (area.height() - whole.height()) / 2));
}

void ProgramWindows::EndProgram() {
  sequence.SaveSettings();  // while every dock still shows as the user left it
  for (QWidget* window : std::initializer_list<QWidget*>{
           &samples, &options, &introScreen, &kitMaker, &renderWindow, &kitList, &sampleEditor})
    window->hide();
  QCoreApplication::quit();
}

void ProgramWindows::EndQuietly() {
  // The dialog's own loop must be left before the main loop can end; the
  // code that asked goes on with no answer (Cancel), and the end comes next.
  if (QWidget* modal = QApplication::activeModalWidget();
      modal && endAttempts_++ < kMostDialogsOnTheWay) {
    if (auto* dialog = qobject_cast<QDialog*>(modal))
      dialog->done(QDialog::Rejected);
    else
      modal->close();
    QMetaObject::invokeMethod(
        &sequence, [this] { EndQuietly(); }, Qt::QueuedConnection);
    return;
  }
  sequence.CloseQuietly();
}

void ProgramWindows::StopForExit() {
  sequence.StopForExit();
  for (int slot = 1; slot <= SampleSlots::kCount; ++slot) sampleEditor.Slots().Stop(slot);
  if (TAudioFileStream* listening = kitMaker.Maker().ListeningStream()) listening->Stop();
}
