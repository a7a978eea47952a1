#include "midi/MidiLive.h"

#include <QAction>
#include <QSocketNotifier>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <utility>

#include "common/Exception.h"
#include "common/Guard.h"
#include "common/QtPrompts.h"
#include "common/Text.h"
#include "midi/MidiMapFile.h"
#include "midi/MidiSettings.h"
#include "midi/PatternStepHeard.h"
#include "pattern/Sequencer.h"
#include "render/MidiExport.h"

MidiLive* MidiLive::running_ = nullptr;

namespace {
constexpr int kPassWatchMs = 50;
constexpr int kNewsMs = 5000;

// The tool bar's action after the button, where the Record toggle goes.
QAction* ActionAfter(QToolBar* bar, QWidget* button) {
  const QList<QAction*> actions = bar->actions();
  for (int i = 0; i + 1 < actions.size(); ++i)
    if (bar->widgetForAction(actions[i]) == button) return actions[i + 1];
  return nullptr;
}
}  // namespace

MidiLive::MidiLive(TSequence& sequence)
    : sequence_(sequence),
      inbox_([this] { wake_.Notify(); }),
      ports_({&inbox_}),
      player_(sequence.Instruments(), map_, sequence.KitSound()) {
  running_ = this;
  notifier_ = new QSocketNotifier(wake_.Fd(), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { TakeNotes(); });
  record_ = new QAction("Record", this);
  record_->setObjectName("RecordAction");
  record_->setCheckable(true);
  record_->setShortcut(QKeySequence(Qt::Key_R));
  record_->setToolTip(
      "Record: notes played on a MIDI keyboard while the pattern plays go into "
      "the grid (R)");
  if (QToolBar* bar = sequence.ToolBar1)
    bar->insertAction(ActionAfter(bar, sequence.ToolButton3), record_);
  passWatch_ = new QTimer(this);
  passWatch_->setInterval(kPassWatchMs);
  connect(passWatch_, &QTimer::timeout, this, [this] { WatchPasses(); });
  connect(record_, &QAction::toggled, this, [this](bool on) {
    newPass_ = on;
    FollowClick();
    if (on)
      passWatch_->start();
    else
      passWatch_->stop();
  });
}

MidiLive::~MidiLive() {
  ports_.Close();  // no note arrives once the inbox goes
  if (running_ == this) running_ = nullptr;
}

std::string MidiLive::Start() {
  choice_ = LoadMidiChoice();
  if (const auto api = MidiSystemForThisRun()) choice_.api = *api;
  return OpenPorts();
}

std::string MidiLive::Apply(const MidiChoice& choice) {
  const MidiChoice before = std::exchange(choice_, choice);
  SaveMidiChoice(choice);
  FollowClick();
  if (choice.api != ports_.Api() || !ports_.IsOpen()) return OpenPorts();
  // The same ports stay open, keeping the connections made elsewhere
  // (aconnect, jack_connect); the newly chosen ones are added.
  inbox_.SetChannel(choice.channel);
  auto added = [](const std::vector<std::string>& now, const std::vector<std::string>& was) {
    std::vector<std::string> ports;
    for (const auto& port : now)
      if (std::find(was.begin(), was.end(), port) == was.end()) ports.push_back(port);
    return ports;
  };
  return ports_.Connect(added(choice.sources, before.sources),
                        added(choice.targets, before.targets));
}

std::string MidiLive::OpenPorts() {
  inbox_.SetChannel(choice_.channel);
  std::string message = ports_.Open(choice_.api);
  if (message.empty()) message = ports_.Connect(choice_.sources, choice_.targets);
  return message;
}

void MidiLive::TakeNotes() {
  wake_.Clear();
  FollowKit();
  inbox_.Drain([this](const NoteHeard& note) { Take(note); });
}

void MidiLive::Take(const NoteHeard& note) {
  RunGuarded(AppPrompts(), [&] {
    if (!learning_.empty()) Learn(note.note);
    player_.Play(note);
    if (record_->isChecked()) RecordNote(note);
  });
}

void MidiLive::StartLearning(const std::string& instrument) {
  learning_ = instrument;
  sequence_.statusBar()->showMessage(
      QString::fromLatin1(("Play the MIDI note for " + instrument + "...").c_str()));
}

void MidiLive::Learn(int note) {
  const std::string instrument = std::exchange(learning_, {});
  map_.Learn(instrument, note);
  map_.Rebuild(sequence_.Instruments());
  sequence_.statusBar()->showMessage(
      QString::fromLatin1((instrument + " plays on MIDI note " + std::to_string(note)).c_str()),
      kNewsMs);
  // Without a kit file (none could be loaded) the note is kept for this run only.
  if (!kitSeen_.empty())
    RunGuarded(AppPrompts(), [&] { WriteMidiMap(MidiMapPathFor(kitSeen_), map_.Learned()); });
}

void MidiLive::RecordNote(const NoteHeard& note) {
  const std::string text = player_.CellTextOf(note);
  if (text.empty()) return;
  const auto arrived = std::chrono::steady_clock::time_point(std::chrono::nanoseconds(note.timeNs));
  const std::optional<int> row = RecordRow(sequence_.Engine(), sequence_.KitSound(), arrived);
  if (!row || InCountIn(*row)) return;
  if (std::exchange(newPass_, false)) ++pass_;
  sequence_.RecordMidiHit(*row, text, pass_);
}

// With the count-in, the pattern's first bar from its start is only heard.
bool MidiLive::InCountIn(int row) const {
  if (!choice_.countIn) return false;
  const PlaybackEngine& engine = sequence_.Engine();
  return StepsBeforeRow(engine, row) < BarSteps(engine.PlayLength(), PatternTime());
}

int MidiLive::PatternTime() const {
  try {
    return ParseWholeNumber(sequence_.Grid().Cell(4, 0));
  } catch (const Exception&) {
    return 4;
  }
}

// While recording, a click on every beat of the pattern's meter (the MIDI
// export's), or on the count-in bar's beats only.
void MidiLive::FollowClick() {
  using When = PlaybackEngine::PatternClick::When;
  PlaybackEngine::PatternClick click;
  if (record_->isChecked() && (choice_.click || choice_.countIn)) {
    int steps = sequence_.Engine().PlayLength();
    if (!sequence_.Engine().PatternPlaying()) {
      try {
        steps = ParseWholeNumber(sequence_.Grid().Cell(2, 0));
      } catch (const Exception&) {
      }
    }
    const TimeSignature meter = TimeSignatureOf(std::max(1, steps), PatternTime());
    click.when = choice_.click ? When::Always : When::FirstBar;
    click.barSteps = BarSteps(std::max(1, steps), PatternTime());
    click.beatSteps = std::max(1, meter.clocksPerClick / 6);  // six MIDI clocks a step
  }
  if (!(click == sequence_.Engine().CurrentPatternClick()))
    sequence_.Engine().SetPatternClick(click);
}

// The pattern stopped while Record stays on: the next note recorded begins a
// new pass, one undo step each.
void MidiLive::WatchPasses() {
  FollowClick();
  if (!sequence_.Engine().PatternPlaying()) newPass_ = true;
}

void MidiLive::FollowKit() {
  const std::filesystem::path kit = sequence_.KitPath();
  if (kit != kitSeen_) {
    kitSeen_ = kit;
    map_.SetLearned({});
    if (!kit.empty())
      RunGuarded(AppPrompts(), [&] { map_.SetLearned(ReadMidiMap(MidiMapPathFor(kit))); });
    chooserSeen_.clear();
  }
  if (chooserSeen_ != sequence_.Instruments().Items()) {
    chooserSeen_ = sequence_.Instruments().Items();
    map_.Rebuild(sequence_.Instruments());
  }
}
