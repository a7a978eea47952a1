// MIDI files read back by a reader of the test's own: the tracks, the tempo
// map, every note's key, velocity, channel, onset and length.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "kit/InstrumentTable.h"
#include "kit/WaveCollection.h"
#include "render/GmDrumMap.h"
#include "render/MidiExport.h"
#include "tests/render/CommandHome.h"

namespace fs = std::filesystem;

namespace {

using namespace command_home;

struct MidiEvent {
  long tick = 0;
  std::vector<std::uint8_t> bytes;  // status first; meta events as FF type data
};

struct MidiFile {
  int format = -1;
  int division = 0;
  std::vector<std::vector<MidiEvent>> tracks;
};

// Reads a Standard MIDI File; running status and every event kind are taken.
class MidiReader {
 public:
  explicit MidiReader(const std::string& bytes) : bytes_(bytes) {}

  MidiFile Read() {
    MidiFile file;
    EXPECT_EQ(Text(4), "MThd");
    EXPECT_EQ(Big(4), 6u);
    file.format = static_cast<int>(Big(2));
    const auto tracks = Big(2);
    file.division = static_cast<int>(Big(2));
    for (std::uint32_t t = 0; t < tracks; ++t) file.tracks.push_back(Track());
    EXPECT_EQ(at_, bytes_.size()) << "bytes after the last track";
    return file;
  }

 private:
  std::vector<MidiEvent> Track() {
    EXPECT_EQ(Text(4), "MTrk");
    const std::uint32_t length = Big(4);
    const std::size_t end = at_ + length;
    std::vector<MidiEvent> events;
    long tick = 0;
    std::uint8_t status = 0;
    while (at_ < end) {
      tick += static_cast<long>(Vlq());
      MidiEvent event{tick, {}};
      if (Peek() & 0x80) status = Byte();
      event.bytes.push_back(status);
      if (status == 0xFF) {
        event.bytes.push_back(Byte());
        const auto length = Vlq();
        for (std::uint32_t i = 0; i < length; ++i) event.bytes.push_back(Byte());
      } else if (status == 0xF0 || status == 0xF7) {
        const auto length = Vlq();
        for (std::uint32_t i = 0; i < length; ++i) event.bytes.push_back(Byte());
      } else {
        const int data = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
        for (int i = 0; i < data; ++i) event.bytes.push_back(Byte());
      }
      events.push_back(event);
    }
    EXPECT_EQ(at_, end);
    return events;
  }
  std::uint8_t Peek() const { return at_ < bytes_.size() ? std::uint8_t(bytes_[at_]) : 0; }
  std::uint8_t Byte() {
    EXPECT_LT(at_, bytes_.size());
    return at_ < bytes_.size() ? std::uint8_t(bytes_[at_++]) : 0;
  }
  std::uint32_t Big(int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | Byte();
    return v;
  }
  std::uint32_t Vlq() {
    std::uint32_t v = 0;
    std::uint8_t b;
    do {
      b = Byte();
      v = v << 7 | (b & 0x7F);
    } while (b & 0x80);
    return v;
  }
  std::string Text(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s.push_back(static_cast<char>(Byte()));
    return s;
  }
  const std::string& bytes_;
  std::size_t at_ = 0;
};

struct Note {
  int key, velocity;
  long on, off;  // ticks
};

// Notes on channel 10 in the order they start; a note ends at the first
// note-off of its key after it.
std::vector<Note> Notes(const std::vector<MidiEvent>& track) {
  std::vector<Note> notes;
  for (const auto& e : track) {
    if (e.bytes[0] == 0xFF) continue;
    EXPECT_EQ(e.bytes[0] & 0x0F, 9) << "channel 10";
    const bool on = (e.bytes[0] & 0xF0) == 0x90 && e.bytes[2] > 0;
    if (on) {
      notes.push_back({e.bytes[1], e.bytes[2], e.tick, -1});
      continue;
    }
    for (auto& n : notes)
      if (n.key == e.bytes[1] && n.off < 0) {
        n.off = e.tick;
        break;
      }
  }
  return notes;
}

// (tick, microseconds a quarter) of each tempo event.
std::vector<std::pair<long, long>> Tempos(const std::vector<MidiEvent>& track) {
  std::vector<std::pair<long, long>> tempos;
  for (const auto& e : track)
    if (e.bytes[0] == 0xFF && e.bytes[1] == 0x51)
      tempos.emplace_back(e.tick, long(e.bytes[2]) << 16 | long(e.bytes[3]) << 8 | e.bytes[4]);
  return tempos;
}

// Seconds at a tick through the tempo map.
double SecondsAt(long tick, const std::vector<std::pair<long, long>>& tempos, int division) {
  double seconds = 0;
  for (std::size_t i = 0; i < tempos.size() && tempos[i].first < tick; ++i) {
    const long until = i + 1 < tempos.size() ? std::min(tick, tempos[i + 1].first) : tick;
    seconds += double(until - tempos[i].first) * tempos[i].second / division / 1e6;
  }
  return seconds;
}

using MidiCommandTest = CommandHomeTest;

TEST_F(MidiCommandTest, ASongsNotesAndTempoMapReadBack) {
  std::vector<Row> a(4, Row{});
  a[0][0] = "Kick      [ ]";
  a[2][1] = "Snare     [3]";
  a[3][2] = "Sample2";
  WriteTextLines(home_ / "A.pat", PatternLines("A", 60, 2, a));  // 0.12 s steps
  std::vector<Row> b(3, Row{});
  b[0][3] = "ClsHiat   [9]";
  b[1][0] = "Kick      [2]";
  b[2][3] = "ClsHiat   [9]";
  WriteTextLines(home_ / "B.pat", PatternLines("B", 45, 1, b));  // 0.09 s steps
  // The slot's file needn't exist: a MIDI file holds no sound.
  WriteTextLines(home_ / "S.sng", SongLines({"A", "B"}, {{}, {"/nowhere/clap.wav"}}));
  const CommandRun run = RunKorvanto({"midi", "S.sng", "s.mid"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, "Wrote s.mid\n");

  const std::string bytes = ReadFileBytes(home_ / "s.mid");
  const MidiFile file = MidiReader(bytes).Read();
  EXPECT_EQ(file.format, 1);
  ASSERT_EQ(file.tracks.size(), 2u);
  EXPECT_EQ(file.division, 480);
  const auto tempos = Tempos(file.tracks[0]);
  // A's tempo from the start; B's for the step that leads into its first row.
  EXPECT_EQ(tempos, (std::vector<std::pair<long, long>>{{0, 480000}, {7 * 120, 360000}}));
  EXPECT_TRUE(Tempos(file.tracks[1]).empty());

  const auto notes = Notes(file.tracks[1]);
  std::map<int, int> perKey;
  for (const auto& n : notes) {
    ++perKey[n.key];
    EXPECT_EQ(n.off - n.on, 120) << "a step long";
  }
  EXPECT_EQ(perKey, (std::map<int, int>{{36, 3}, {38, 2}, {42, 2}, {97, 2}}));
  const std::vector<std::tuple<int, int, long>> expected{
      {36, 127, 0},       {38, 71, 2 * 120}, {97, 127, 3 * 120},
      {36, 127, 4 * 120}, {38, 71, 6 * 120}, {97, 127, 7 * 120},
      {42, 13, 8 * 120},  {36, 95, 9 * 120}, {42, 13, 10 * 120}};
  std::vector<std::tuple<int, int, long>> got;
  for (const auto& n : notes) got.emplace_back(n.key, n.velocity, n.on);
  std::sort(got.begin(), got.end(),
            [](auto& x, auto& y) { return std::get<2>(x) < std::get<2>(y); });
  EXPECT_EQ(got, expected);

  // Each row sounds where the render puts it: the first row of B one step
  // of B's tempo after A's last.
  const double rowTimes[] = {0, 0.12, 0.24, 0.36, 0.48, 0.60, 0.72, 0.84, 0.93, 1.02, 1.11};
  for (const auto& n : notes)
    EXPECT_NEAR(SecondsAt(n.on, tempos, file.division), rowTimes[n.on / 120], 1e-9);
}

TEST_F(MidiCommandTest, APatternExportsItsLoopCountTimes) {
  std::vector<Row> rows(16, Row{});
  rows[0][0] = "Kick      [ ]";
  rows[15][1] = "Tamb      [5]";
  WriteTextLines(home_ / "Three.pat", PatternLines("Three", 48, 3, rows));
  ASSERT_EQ(RunKorvanto({"midi", "Three.pat", "three.mid"}).code, 0);
  const MidiFile file = MidiReader(ReadFileBytes(home_ / "three.mid")).Read();
  EXPECT_EQ(Tempos(file.tracks[0]), (std::vector<std::pair<long, long>>{{0, 384000}}));
  const auto notes = Notes(file.tracks[1]);
  ASSERT_EQ(notes.size(), 6u);
  EXPECT_EQ(notes.back().key, 54);
  EXPECT_EQ(notes.back().velocity, 40);
  EXPECT_EQ(notes.back().on, (2 * 16 + 15) * 120);
  // Both tracks end with the song, a step after its last row.
  EXPECT_EQ(file.tracks[0].back().tick, 48 * 120);
  EXPECT_EQ(file.tracks[1].back().tick, 48 * 120);

  const CommandRun run = RunKorvanto({"midi", "Three.pat", "no/such/folder/x.mid"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "korvanto: Cannot create file no/such/folder/x.mid\n");
}

// An instrument in two channels of one row is one note, as loud as the
// louder; every note-on has its note-off.
TEST_F(MidiCommandTest, AnInstrumentTwiceInARowIsOneNoteTheLouder) {
  std::vector<Row> rows(4, Row{});
  rows[0][0] = "Snare     [5]";
  rows[0][4] = "Snare     [2]";
  rows[0][5] = "Kick      [ ]";
  rows[1][2] = "Snare     [ ]";
  rows[1][3] = "Snare     [ ]";
  rows[2][1] = "Kick      [9]";
  rows[2][2] = "Kick      [3]";
  WriteTextLines(home_ / "Twice.pat", PatternLines("Twice", 60, 1, rows));
  ASSERT_EQ(RunKorvanto({"midi", "Twice.pat", "twice.mid"}).code, 0);
  const MidiFile file = MidiReader(ReadFileBytes(home_ / "twice.mid")).Read();
  std::vector<std::tuple<int, int, long, long>> got;
  for (const auto& n : Notes(file.tracks[1])) got.emplace_back(n.key, n.velocity, n.on, n.off);
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got,
            (std::vector<std::tuple<int, int, long, long>>{
                {36, 71, 240, 360}, {36, 127, 0, 120}, {38, 95, 0, 120}, {38, 127, 120, 240}}));
  int ons = 0, offs = 0;
  for (const auto& e : file.tracks[1]) {
    ons += (e.bytes[0] & 0xF0) == 0x90;
    offs += (e.bytes[0] & 0xF0) == 0x80;
  }
  EXPECT_EQ(ons, 4);
  EXPECT_EQ(offs, 4);
}

// Swing moves every second row of each pattern by its share of a step, to
// the tick; humanize moves notes by at most its time and lowers kit notes'
// velocities, and no note runs into the next of its key.
TEST_F(MidiCommandTest, TheSongsGrooveMovesTheNotes) {
  std::vector<Row> three(3, Row{});
  for (auto& row : three) row[0] = "Kick      [ ]";
  WriteTextLines(home_ / "Three.pat", PatternLines("Three", 60, 1, three));  // 0.12 s steps
  std::vector<Row> two(2, Row{});
  for (auto& row : two) row[0] = "Kick      [ ]";
  WriteTextLines(home_ / "Two.pat", PatternLines("Two", 60, 1, two));
  struct Case {
    const char* groove;
    std::vector<long> ons;  // every kick's note-on tick
  };
  // The second pattern starts at song row 3: its first row is not swung.
  const Case cases[] = {
      {"", {0, 120, 240, 360, 480}},
      {"<*groove 50 0 0 0", {0, 180, 240, 360, 540}},
      {"<*groove 75 0 0 0", {0, 210, 240, 360, 570}},
      {"<*groove 25 0 0 9", {0, 150, 240, 360, 510}},
  };
  for (const Case& c : cases) {
    Lines song = SongLines({"Three", "Two"});
    if (*c.groove) song.push_back(c.groove);
    WriteTextLines(home_ / "G.sng", song);
    const CommandRun run = RunKorvanto({"midi", "G.sng", "g.mid"});
    ASSERT_EQ(run.code, 0) << run.err;
    std::vector<long> ons;
    for (const auto& n : Notes(MidiReader(ReadFileBytes(home_ / "g.mid")).Read().tracks[1])) {
      ons.push_back(n.on);
      EXPECT_EQ(n.velocity, 127) << c.groove;
    }
    EXPECT_EQ(ons, c.ons) << c.groove;
  }

  // 20 ms at 0.12 s a step is 20 ticks.
  WriteTextLines(home_ / "G.sng", [] {
    Lines song = SongLines({"Three", "Two"});
    song.push_back("<*groove 0 20 60 4242");
    return song;
  }());
  ASSERT_EQ(RunKorvanto({"midi", "G.sng", "g.mid"}).code, 0);
  const auto notes = Notes(MidiReader(ReadFileBytes(home_ / "g.mid")).Read().tracks[1]);
  ASSERT_EQ(notes.size(), 5u);
  int moved = 0, quieter = 0;
  for (std::size_t i = 0; i < notes.size(); ++i) {
    const long grid = static_cast<long>(i) * 120;
    EXPECT_LE(std::abs(notes[i].on - grid), 20) << i;
    EXPECT_GE(notes[i].on, 0);
    moved += notes[i].on != grid;
    EXPECT_GE(notes[i].velocity, KitVelocity(1) * 0.7) << "at most 6 dB quieter";
    quieter += notes[i].velocity < 127;
    if (i + 1 < notes.size()) {
      EXPECT_LE(notes[i].off, notes[i + 1].on) << i;
    }
  }
  EXPECT_GT(moved, 0);
  EXPECT_GT(quieter, 0);
}

// (tick, numerator, denominator, MIDI clocks a click) of each time signature.
std::vector<std::tuple<long, int, int, int>> Signatures(const std::vector<MidiEvent>& track) {
  std::vector<std::tuple<long, int, int, int>> signatures;
  for (const auto& e : track)
    if (e.bytes[0] == 0xFF && e.bytes[1] == 0x58)
      signatures.emplace_back(e.tick, e.bytes[2], 1 << e.bytes[3], e.bytes[4]);
  return signatures;
}

// Each pattern's length and time become a time signature at its first row,
// written again only where it changes.
TEST_F(MidiCommandTest, TimeSignaturesFollowThePatternsLengthAndTime) {
  struct Meter {
    std::string name;
    int steps, time, loops;
  };
  const Meter meters[] = {{"Four", 16, 4, 1},   {"Jig", 12, 3, 2},   {"Jig2", 12, 3, 1},
                          {"Eighths", 8, 2, 1}, {"Seven", 7, 4, 1},  {"Waltz", 3, 3, 1},
                          {"Long", 32, 4, 1},   {"Halves", 16, 8, 1}};
  std::vector<std::string> entries;
  for (const Meter& m : meters) {
    std::vector<Row> rows(static_cast<std::size_t>(m.steps), Row{});
    rows[0][0] = "Kick      [ ]";
    WriteTextLines(home_ / (m.name + ".pat"), PatternLines(m.name, 60, m.loops, rows, {}, m.time));
    entries.push_back(m.name);
  }
  WriteTextLines(home_ / "Meters.sng", SongLines(entries));
  ASSERT_EQ(RunKorvanto({"midi", "Meters.sng", "meters.mid"}).code, 0);
  const MidiFile file = MidiReader(ReadFileBytes(home_ / "meters.mid")).Read();
  const long step = 120;
  EXPECT_EQ(Signatures(file.tracks[0]),
            (std::vector<std::tuple<long, int, int, int>>{{0, 4, 4, 24},
                                                          {16 * step, 12, 16, 18},
                                                          {52 * step, 4, 8, 12},
                                                          {60 * step, 7, 16, 24},
                                                          {67 * step, 3, 16, 18},
                                                          {70 * step, 4, 4, 24},
                                                          {102 * step, 2, 2, 48}}));

  // A lone pattern of Time 4 and 16 steps is 4/4, as before.
  ASSERT_EQ(RunKorvanto({"midi", "Four.pat", "four.mid"}).code, 0);
  const MidiFile four = MidiReader(ReadFileBytes(home_ / "four.mid")).Read();
  EXPECT_EQ(Signatures(four.tracks[0]),
            (std::vector<std::tuple<long, int, int, int>>{{0, 4, 4, 24}}));
}

TEST(GmDrumMap, KitNamesMapToGeneralMidiDrumsAndTheRestToFreeNotes) {
  const InstrumentTable defaults;  // the default kit's names
  const auto notes = DrumNotes(defaults);
  const std::vector<int> expected{-1, 36, 35, 38, 42, 46, 50, 47, 49,
                                  57, 37, 70, 76, 63, 56, 39, 54};
  EXPECT_EQ(std::vector<int>(notes.begin(), notes.begin() + 17), expected);
  EXPECT_EQ(notes[defaults.IndexOf("Sample1")], 96);
  EXPECT_EQ(notes[defaults.IndexOf("Sample32")], 127);

  TWaveCollection kit;
  kit.Add();
  for (const char* name :
       {"Zap       [ ]", "Hi Hat    [ ]", "BOOM", "Open Hat  [ ]", "Ride Bell [ ]"})
    kit.Add().SetName(name);
  for (int i = 0; i < 14; ++i) kit.Add().SetName("Fx" + std::to_string(i));
  InstrumentTable chooser;
  chooser.Rebuild(kit);
  const auto mapped = DrumNotes(chooser);
  EXPECT_EQ(std::vector<int>(mapped.begin(), mapped.begin() + 6),
            (std::vector<int>{-1, 82, 42, 83, 46, 51}));
  EXPECT_EQ(mapped[17], 95);
  EXPECT_EQ(mapped[18], 34);  // past 95 the free notes go on below 35
  EXPECT_EQ(mapped[19], 33);
  EXPECT_EQ(mapped[20], 96);  // Sample1
}

TEST(GmDrumMap, TheReadmeShowsTheTableAsTheProgramHasIt) {
  const std::string readme = ReadFileBytes(fs::path(KORVANTO_TEST_SOURCE_DIR) / "README.md");
  std::string rows;
  for (const GmDrumName& row : kGmDrumMap)
    rows += "| `" + std::string(row.word) + "` | " + std::to_string(row.note) + " | " + row.gmName +
            " |\n";
  EXPECT_NE(readme.find("| word | note | General MIDI name |\n|---|---|---|\n" + rows),
            std::string::npos);
}

TEST(MidiVelocity, EachDigitFiveDecibelsQuieterOnTheGeneralMidiCurve) {
  std::vector<int> velocities;
  for (int digit = 1; digit <= 9; ++digit) {
    velocities.push_back(KitVelocity(digit));
    // 40 × log10 of the velocity ratio: 5 dB a digit, within rounding.
    const int v = KitVelocity(digit);
    EXPECT_NEAR(40 * std::log10(127.0 / v), 5.0 * (digit - 1), 40 * std::log10(1 + 0.5 / v));
  }
  EXPECT_EQ(velocities, (std::vector<int>{127, 95, 71, 54, 40, 30, 23, 17, 13}));
  EXPECT_EQ(KitVelocity(0), 127);  // a cell without a digit
  EXPECT_EQ(SlotVelocity(0), 127);
  EXPECT_EQ(SlotVelocity(-4000), 13);
}

}  // namespace

// The song's mix in the MIDI file: a silenced instrument leaves no notes, a
// level moves the velocities on the same curve as the volume digit.
TEST_F(MidiCommandTest, TheSongsMixLeavesOutSilencedNotesAndScalesVelocities) {
  std::vector<Row> rows(4, Row{});
  rows[0][0] = "Kick      [ ]";
  rows[1][1] = "Snare     [ ]";
  rows[2][2] = "ClsHiat   [3]";
  WriteTextLines(home_ / "M.pat", PatternLines("M", 60, 1, rows));
  struct Case {
    std::vector<std::string> mix;
    std::vector<std::pair<int, int>> notes;  // key, velocity in row order
  };
  const Case cases[] = {
      {{}, {{36, 127}, {38, 127}, {42, 71}}},
      {{"<*mix 0 1 0 Kick"}, {{38, 127}, {42, 71}}},
      {{"<*mix 0 0 1 Snare"}, {{38, 127}}},
      {{"<*mix 0 0 1 Snare", "<*mix 0 0 1 kick"}, {{36, 127}, {38, 127}}},
      {{"<*mix -600 0 0 Snare"}, {{36, 127}, {38, 90}, {42, 71}}},
      {{"<*mix 600 0 0 ClsHiat", "<*mix 600 0 0 Kick"}, {{36, 127}, {38, 127}, {42, 101}}},
      {{"<*mix -100000 0 0 ClsHiat"}, {{36, 127}, {38, 127}}},
      {{"<*mix -9000 0 0 Kick"}, {{36, 1}, {38, 127}, {42, 71}}},
  };
  for (const Case& c : cases) {
    Lines song = SongLines({"M"});
    song.insert(song.end(), c.mix.begin(), c.mix.end());
    WriteTextLines(home_ / "M.sng", song);
    const CommandRun run = RunKorvanto({"midi", "M.sng", "m.mid"});
    ASSERT_EQ(run.code, 0) << run.err;
    const MidiFile file = MidiReader(ReadFileBytes(home_ / "m.mid")).Read();
    std::vector<std::pair<int, int>> got;
    for (const auto& n : Notes(file.tracks[1])) got.emplace_back(n.key, n.velocity);
    EXPECT_EQ(got, c.notes) << (c.mix.empty() ? "plain" : c.mix[0]);
    // The song keeps its length whatever sounds.
    EXPECT_EQ(file.tracks[1].back().tick, 4 * 120);
  }
}
