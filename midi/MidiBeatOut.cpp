#include "midi/MidiBeatOut.h"

#include <algorithm>
#include <limits>

namespace {

constexpr uint8_t kNoteOn = 0x99;   // channel 10
constexpr uint8_t kNoteOff = 0x89;  // channel 10
constexpr uint8_t kControl = 0xB9;  // channel 10
constexpr uint8_t kAllNotesOff = 123;
constexpr int kOffVelocity = 64;  // as the MIDI file writes them

TimedMidi NoteMessage(uint8_t status, int note, int velocity, int64_t dueNs) {
  return {dueNs, {status, static_cast<uint8_t>(note), static_cast<uint8_t>(velocity)}, 3};
}

}  // namespace

void MidiBeatOut::PlayStarted(Clock::time_point firstStep) {
  // A start while playing begins afresh: what sounds ends first.
  if (playing_) PlayStopped(Clock::now());
  playing_ = true;
  notesThisRun_ = sendNotes_;
  clockThisRun_ = sendClock_;
  stepNs_ = MidiNs(firstStep);
  leadNs_ = 0;
  if (clockThisRun_)
    for (const TimedMidi& m : clock_.Start(stepNs_)) Add(m, kClock);
}

void MidiBeatOut::StepPlaced(Clock::time_point sound, Clock::time_point earliest) {
  if (!playing_) return;
  stepNs_ = MidiNs(sound);
  leadNs_ = std::max<int64_t>(0, stepNs_ - MidiNs(earliest));
  SendBefore(MidiNs(earliest));
}

void MidiBeatOut::CellPlayed(const std::string& text, Clock::time_point sound, int quieterTenthDb) {
  if (!playing_ || !notesThisRun_) return;
  if (const auto note = notes_.NoteOf(text, quieterTenthDb)) AddNoteOn(*note, MidiNs(sound));
}

void MidiBeatOut::NextStepAt(Clock::time_point next) {
  if (!playing_) return;
  const int64_t nextNs = MidiNs(next);
  CloseStep(nextNs);
  if (clockThisRun_)
    for (const TimedMidi& m : clock_.Step(stepNs_, nextNs)) Add(m, kClock);
  // The next step's hits may come its lead before it: all before that goes now.
  SendBefore(nextNs - leadNs_);
}

void MidiBeatOut::PlayEnded(Clock::time_point end) {
  if (!playing_) return;
  const int64_t endNs = MidiNs(end);
  CloseStep(endNs);
  if (clockThisRun_) {
    for (const TimedMidi& m : clock_.Step(stepNs_, endNs)) Add(m, kClock);
    for (const TimedMidi& m : clock_.Stop(endNs)) Add(m, kClock);
  }
  SendBefore(std::numeric_limits<int64_t>::max());
  playing_ = false;
}

void MidiBeatOut::PlayStopped(Clock::time_point now) {
  if (!playing_) return;
  playing_ = false;
  // Notes handed over already may still be due: the stop comes after them.
  const int64_t dueNs = std::max(MidiNs(now), lastSentNs_);
  outbox_.clear();
  if (notesThisRun_) SendAllNotesOff(dueNs);
  if (clockThisRun_)
    for (const TimedMidi& m : clock_.Stop(dueNs)) Send(m);
}

int MidiBeatOut::NotesSounding() const {
  return static_cast<int>(std::count(sounding_.begin(), sounding_.end(), true));
}

void MidiBeatOut::Add(const TimedMidi& message, int rank, bool open) {
  outbox_.push_back({message, rank, open});
}

void MidiBeatOut::AddNoteOn(const DrumNote& note, int64_t dueNs) {
  auto sameNote = [&](const Pending& p) { return p.message.bytes[1] == note.note; };
  for (Pending& p : outbox_) {
    if (p.rank == kOn && sameNote(p) && p.message.dueNs == dueNs) {
      // Two channels of one row: one note, as loud as the louder.
      p.message.bytes[2] = std::max<uint8_t>(p.message.bytes[2], note.velocity);
      return;
    }
  }
  for (Pending& p : outbox_) {
    // The note before ends where this one begins at the latest.
    if (p.rank == kOff && sameNote(p) && !p.open && p.message.dueNs > dueNs)
      p.message.dueNs = dueNs;
  }
  Add(NoteMessage(kNoteOn, note.note, note.velocity, dueNs), kOn);
  // Its off waits for the step's length; until then it holds the hit's time.
  Add(NoteMessage(kNoteOff, note.note, kOffVelocity, dueNs), kOff, true);
}

void MidiBeatOut::CloseStep(int64_t stepEndNs) {
  const int64_t length = std::max<int64_t>(0, stepEndNs - stepNs_);
  for (Pending& p : outbox_) {
    if (!p.open) continue;
    p.open = false;
    p.message.dueNs += length;
  }
}

void MidiBeatOut::SendBefore(int64_t horizonNs) {
  std::stable_sort(outbox_.begin(), outbox_.end(), [](const Pending& a, const Pending& b) {
    if (a.message.dueNs != b.message.dueNs) return a.message.dueNs < b.message.dueNs;
    return a.rank < b.rank;
  });
  auto it = outbox_.begin();
  for (; it != outbox_.end() && !it->open && it->message.dueNs < horizonNs; ++it) Send(it->message);
  outbox_.erase(outbox_.begin(), it);
}

void MidiBeatOut::Send(const TimedMidi& message) {
  // Never due before what went already: the sender keeps the order given.
  const int64_t dueNs = std::max(message.dueNs, lastSentNs_);
  lastSentNs_ = dueNs;
  const uint8_t status = message.bytes[0];
  if (status == kNoteOn) sounding_[message.bytes[1] & 0x7F] = true;
  if (status == kNoteOff) sounding_[message.bytes[1] & 0x7F] = false;
  sender_.SendAt(dueNs, std::span<const uint8_t>(message.bytes.data(), message.size));
}

void MidiBeatOut::SendAllNotesOff(int64_t dueNs) {
  for (int note = 0; note < 128; ++note)
    if (sounding_[static_cast<std::size_t>(note)])
      Send(NoteMessage(kNoteOff, note, kOffVelocity, dueNs));
  Send({dueNs, {kControl, kAllNotesOff, 0}, 3});
}
