#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "midi/MidiStreamParser.h"
#include "midi/NoteInbox.h"

namespace {
MidiEvent Event(std::vector<uint8_t> bytes, int64_t timeNs = 1) {
  MidiEvent e;
  e.timeNs = timeNs;
  e.size = static_cast<uint8_t>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), e.bytes.begin());
  return e;
}

std::vector<NoteHeard> Take(NoteInbox& inbox) {
  std::vector<NoteHeard> notes;
  inbox.Drain([&](const NoteHeard& n) { notes.push_back(n); });
  return notes;
}

TEST(NoteInbox, KeepsNoteOnsOnlyWithTheirTimeAndChannel) {
  int wakes = 0;
  NoteInbox inbox([&] { ++wakes; });
  for (const auto& bytes : std::vector<std::vector<uint8_t>>{
           {0x99, 36, 100}, {0x89, 36, 0}, {0x90, 38, 0}, {0xB0, 7, 100}, {0xF8}, {0x95, 40, 1}})
    inbox.Heard(Event(bytes, 42));
  const auto notes = Take(inbox);
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].channel, 10);
  EXPECT_EQ(notes[0].note, 36);
  EXPECT_EQ(notes[0].velocity, 100);
  EXPECT_EQ(notes[0].timeNs, 42);
  EXPECT_EQ(notes[1].channel, 6);
  EXPECT_EQ(wakes, 1);  // one wake until the UI thread drains
}

TEST(NoteInbox, ChosenChannelOnly) {
  NoteInbox inbox(nullptr);
  inbox.SetChannel(10);
  inbox.Heard(Event({0x90, 36, 100}));
  inbox.Heard(Event({0x99, 38, 100}));
  const auto notes = Take(inbox);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].note, 38);
}

TEST(NoteInbox, WakesAgainAfterADrain) {
  int wakes = 0;
  NoteInbox inbox([&] { ++wakes; });
  inbox.Heard(Event({0x99, 36, 100}));
  Take(inbox);
  inbox.Heard(Event({0x99, 36, 100}));
  EXPECT_EQ(wakes, 2);
}

TEST(NoteInbox, FloodBeyondItsRoomIsDroppedAndCounted) {
  NoteInbox inbox(nullptr);
  const int sent = static_cast<int>(NoteInbox::kCapacity) + 100;
  for (int i = 0; i < sent; ++i) inbox.Heard(Event({0x99, 36, 100}));
  EXPECT_EQ(Take(inbox).size(), NoteInbox::kCapacity);
  EXPECT_EQ(inbox.Dropped(), 100);
}

// Garbage through the parser into the inbox, from another thread while the
// consumer drains: every note sent arrives, nothing else.
TEST(NoteInbox, NotesAmongGarbageFromAnotherThreadAllArrive) {
  NoteInbox inbox(nullptr);
  constexpr int kNotes = 20000;
  std::thread input([&] {
    MidiStreamParser parser;
    for (int i = 0; i < kNotes; ++i) {
      const uint8_t noise[] = {0x12, 0xF0, 0x99, 0xF7, 0xF9, 0x99, static_cast<uint8_t>(i % 128),
                               100};
      parser.Feed(noise, i, [&](const MidiEvent& e) { inbox.Heard(e); });
      if (i % 1000 == 0) std::this_thread::yield();
    }
  });
  int got = 0;
  int64_t last = -1;
  while (got + inbox.Dropped() < kNotes) {
    inbox.Drain([&](const NoteHeard& n) {
      EXPECT_GT(n.timeNs, last);
      last = n.timeNs;
      ++got;
    });
  }
  input.join();
  EXPECT_EQ(got + inbox.Dropped(), kNotes);
}
}  // namespace
