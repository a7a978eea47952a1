#include "midi/MidiBeatLink.h"

#include <QListWidget>
#include <QSlider>
#include <QSocketNotifier>
#include <QToolButton>
#include <algorithm>

#include "common/Guard.h"
#include "common/QtPrompts.h"
#include "midi/MidiBeatPreferences.h"
#include "midi/MidiBeatSettingsStore.h"
#include "pattern/Sequencer.h"

namespace {
MidiBeatLink* current = nullptr;
}  // namespace

MidiBeatLink::MidiBeatLink(TSequence& sequence, HitNotes::SlotVolume slotVolume,
                           const MidiBeatSettings& settings)
    : sequence_(sequence),
      notes_(sequence.Instruments(), &sequence.Song().Settings().mix, std::move(slotVolume)) {
  for (auto& p : pending_) p.store(-1);
  // The MIDI thread only hands over; the UI thread runs.
  control_.OnAction = [this](MidiAction action, int value) { HandOver(action, value); };
  control_.OnLearned = [this](MidiAction action, MidiTrigger trigger) {
    HandOverLearned(action, trigger);
  };
  follower_.OnStep = [this](double step) { HandOverStep(step); };
  wakeWatch_ = new QSocketNotifier(wake_.Fd(), QSocketNotifier::Read, this);
  connect(wakeWatch_, &QSocketNotifier::activated, this, [this] { TakeHandedOver(); });
  Apply(settings);
  current = this;
}

MidiBeatLink::~MidiBeatLink() {
  if (current == this) current = nullptr;
  SetSender(nullptr);
}

MidiBeatLink* MidiBeatLink::Current() {
  return current;
}

void MidiBeatLink::HandOver(MidiAction action, int value) {
  const auto a = static_cast<std::size_t>(action);
  if (pending_[a].exchange(value) >= 0) return;  // the waiting one takes this value
  handedAt_[a].store(handOvers_.fetch_add(1));
  wake_.Notify();
}

uint64_t MidiBeatLink::HandedAt(int action) const {
  return handedAt_[static_cast<std::size_t>(action)].load();
}

void MidiBeatLink::HandOverStep(double stepSeconds) {
  if (pendingStep_.exchange(stepSeconds) > 0) return;
  wake_.Notify();
}

void MidiBeatLink::HandOverLearned(MidiAction action, MidiTrigger trigger) {
  learned_.store((static_cast<uint64_t>(action) + 1) << 32 | trigger.Packed());
  wake_.Notify();
}

void MidiBeatLink::TakeHandedOver() {
  wake_.Clear();  // first: what comes from now on wakes again
  // The actions waiting now (at most one each), oldest first; later ones
  // wait for the next wake-up, so a flood cannot hold the UI thread.
  std::array<int, kMidiActions> waiting{};
  int count = 0;
  for (int a = 0; a < kMidiActions; ++a) {
    if (pending_[static_cast<std::size_t>(a)].load() < 0) continue;
    int at = count++;
    for (; at > 0 && HandedAt(waiting[at - 1]) > HandedAt(a); --at) waiting[at] = waiting[at - 1];
    waiting[at] = a;
  }
  for (int i = 0; i < count; ++i)
    if (const int value = pending_[static_cast<std::size_t>(waiting[i])].exchange(-1); value >= 0)
      Run(MidiAction(waiting[i]), value);
  if (const double step = pendingStep_.exchange(0); step > 0) FollowStep(step);
  if (const uint64_t learned = learned_.exchange(0))
    TakeLearned(MidiAction(static_cast<int>(learned >> 32) - 1),
                MidiTrigger::Unpacked(static_cast<uint32_t>(learned)));
}

void MidiBeatLink::SetSender(MidiSender* sender) {
  if (sender == sender_) return;
  sequence_.Engine().SetPlayObserver(nullptr);
  // Notes the old port sent on end there.
  if (beatOut_) beatOut_->PlayStopped(MidiBeatOut::Clock::now());
  beatOut_.reset();
  sender_ = sender;
  if (sender_) beatOut_ = std::make_unique<MidiBeatOut>(notes_, *sender_);
  Attach();
}

void MidiBeatLink::Apply(const MidiBeatSettings& settings) {
  settings_ = settings;
  control_.SetMap(settings.controls);
  // A followed clock's Start and Stop run the players as MIDI control's do.
  control_.SetTransport(settings.transport || settings.followClock);
  control_.SetStartAction(settings.startPlays);
  following_.store(settings.followClock);
  Attach();
  if (controlsListener_) controlsListener_(settings_.controls);
}

void MidiBeatLink::SetControlsListener(std::function<void(const MidiControlMap&)> listener) {
  controlsListener_ = std::move(listener);
  if (controlsListener_) controlsListener_(settings_.controls);
}

void MidiBeatLink::Attach() {
  if (!beatOut_) return;
  beatOut_->SetSendNotes(settings_.sendNotes);
  beatOut_->SetSendClock(settings_.sendClock);
  // Nothing to send: the players tell no one, at no cost. A run under way
  // still ends its notes and its clock.
  const bool sends = settings_.sendNotes || settings_.sendClock;
  if (!sends) beatOut_->PlayStopped(MidiBeatOut::Clock::now());
  sequence_.Engine().SetPlayObserver(sends ? beatOut_.get() : nullptr);
}

void MidiBeatLink::Learn(MidiAction action, MidiBeatPreferences* waiting) {
  learning_ = waiting;
  control_.Learn(action);
}

void MidiBeatLink::TakeLearned(MidiAction action, MidiTrigger trigger) {
  if (learning_) {
    learning_->Learned(action, trigger);  // keeps it and applies it
    learning_.clear();
    return;
  }
  settings_.controls.Set(action, trigger);
  SaveMidiBeatSettings(settings_);
  Apply(settings_);
}

void MidiBeatLink::Fanout::Heard(const MidiEvent& event) {
  link_.control_.Heard(event);
  if (link_.following_.load(std::memory_order_relaxed)) link_.follower_.Heard(event);
}

void MidiBeatLink::Run(MidiAction action, int value) {
  RunGuarded(AppPrompts(), [&] {
    switch (action) {
      case MidiAction::PlayPattern:
        if (sequence_.ToolButton1->isEnabled()) sequence_.BitBtn3Click();
        return;
      case MidiAction::PlaySong:
        if (sequence_.ToolButton7->isEnabled()) sequence_.BitBtn12Click();
        return;
      case MidiAction::Stop:
        sequence_.BitBtn4Click();
        return;
      case MidiAction::Record:
        if (OnRecord) OnRecord();
        return;
      case MidiAction::NextEntry:
        StepPlayList(1);
        return;
      case MidiAction::PreviousEntry:
        StepPlayList(-1);
        return;
      case MidiAction::Tempo:
        MoveTempoBar(TempoPositionForControl(value));
        return;
    }
  });
}

void MidiBeatLink::FollowStep(double stepSeconds) {
  RunGuarded(AppPrompts(),
             [&] { MoveTempoBar(FollowedTempoPosition(stepSeconds, sequence_.Delay->value())); });
}

// As a user's move of the tempo bar: the pattern's tempo and the global speed.
void MidiBeatLink::MoveTempoBar(int position) {
  if (position == sequence_.Delay->value()) return;
  sequence_.Delay->setValue(position);
  sequence_.DelayChange();
}

// As a user's click on the entry before or after the selected one.
void MidiBeatLink::StepPlayList(int by) {
  const int count = sequence_.Songs().Count();
  if (count == 0) return;
  const int selected = sequence_.Songs().Selected();
  const int row = selected < 0 ? (by > 0 ? 0 : count - 1) : std::clamp(selected + by, 0, count - 1);
  if (row == selected) return;
  sequence_.SongList->setCurrentRow(row);
  sequence_.SongListMouseDown(row);
}
