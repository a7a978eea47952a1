// The command-line render, run in a home folder made as `make run` makes it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "support/ShellOutput.h"
#include "support/SoundFiles.h"
#include "tests/render/CommandHome.h"

namespace fs = std::filesystem;

namespace {

using namespace command_home;

// What python3's wave module reads from the file.
std::string PythonWave(const fs::path& path) {
  const std::string command =
      "python3 -c \"import wave,sys; w=wave.open(sys.argv[1]); print(w.getnchannels(), "
      "w.getsampwidth(), w.getframerate(), w.getnframes())\" '" +
      path.string() + "' 2>&1";
  return ShellOutput(command);
}

using RenderCommandTest = CommandHomeTest;

TEST_F(RenderCommandTest, RendersTheDemoSongToAWaveFileOthersRead) {
  const CommandRun run = RunKorvanto({"render", "Demo.sng", "demo.wav"});
  EXPECT_TRUE(run.handled);
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_NE(run.out.find("to demo.wav"), std::string::npos) << run.out;
  const auto bytes = fs::file_size(home_ / "demo.wav");
  EXPECT_EQ(PythonWave(home_ / "demo.wav"), "2 2 44100 " + std::to_string((bytes - 44) / 4) + "\n");
  EXPECT_GT(bytes, 44u + 4u * 44100 * 10);  // ten patterns of a few seconds
  EXPECT_FALSE(fs::exists(home_ / "demo.wav.part"));
  // The default kit leaves headroom: no sample reaches full scale, the peak
  // stays at or below -1 dBFS.
  const std::string wav = ReadFileBytes(home_ / "demo.wav");
  int peak = 0;
  for (size_t at = 44; at + 1 < wav.size(); at += 2) {
    int16_t sample;
    std::memcpy(&sample, wav.data() + at, 2);
    peak = std::max(peak, std::abs(int{sample}));
  }
  EXPECT_LE(peak, 32768 * std::pow(10.0, -1.0 / 20));
  EXPECT_GT(peak, 32768 * std::pow(10.0, -8.0 / 20));  // and it is not quiet either
}

TEST_F(RenderCommandTest, APatternRendersWithItsLoopCount) {
  std::vector<Row> rows(16, Row{});
  rows[0][0] = "Kick      [ ]";
  rows[15][1] = "ClsHiat   [ ]";
  WriteTextLines(home_ / "Once.pat", PatternLines("Once", 60, 1, rows));
  WriteTextLines(home_ / "Thrice.pat", PatternLines("Thrice", 60, 3, rows));
  ASSERT_EQ(RunKorvanto({"render", "Once.pat", "once.wav"}).code, 0);
  const CommandRun run = RunKorvanto({"render", (home_ / "Thrice.pat").string(), "thrice.wav"});
  ASSERT_EQ(run.code, 0) << run.err;
  // The last hat three loops on: 32 steps of 0.12 s later than the first.
  const auto once = (fs::file_size(home_ / "once.wav") - 44) / 4;
  const auto thrice = (fs::file_size(home_ / "thrice.wav") - 44) / 4;
  EXPECT_EQ(thrice - once, 32u * 5292);
}

TEST_F(RenderCommandTest, ErrorsAreReportedWithAFailingExitCode) {
  WriteTextLines(home_ / "Lost.sng", {"Rock", "Nowhere"});
  CommandRun run = RunKorvanto({"render", "Lost.sng", "lost.wav"});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("Nowhere.pat"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(home_ / "lost.wav"));

  WriteTextLines(home_ / "Broken.sng", {"Rock", "<*sam1", "Blank.wav", "fast"});
  run = RunKorvanto({"render", "Broken.sng", "broken.wav"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "korvanto: Broken.sng, line 4: 'fast' is not a valid integer value\n");

  run = RunKorvanto({"render", "Absent.sng", "x.wav"});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("Absent.sng"), std::string::npos) << run.err;

  fs::remove(home_ / "power.dxg");
  run = RunKorvanto({"render", "Demo.sng", "x.wav"});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("power.dxg"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(home_ / "x.wav"));
}

// ".PAT", ".Sng": the letter case of an extension changes nothing, also
// for the pattern files a song names.
TEST_F(RenderCommandTest, ExtensionsAreTakenInAnyLetterCase) {
  std::vector<Row> rows(4, Row{});
  rows[0][0] = "Kick      [ ]";
  WriteTextLines(home_ / "ROCK.PAT", PatternLines("ROCK", 60, 1, rows));
  WriteTextLines(home_ / "Roll.Pat", PatternLines("Roll", 60, 2, rows));
  WriteTextLines(home_ / "MIXED.SNG", SongLines({"ROCK", "Roll"}));
  struct Case {
    std::string input, output;
  };
  const Case cases[] = {
      {"ROCK.PAT", "rock.wav"},
      {(home_ / "Roll.Pat").string(), "roll.WAV"},
      {"MIXED.SNG", "mixed.wav"},
  };
  for (const Case& c : cases) {
    const CommandRun run = RunKorvanto({"render", c.input, c.output});
    EXPECT_EQ(run.code, 0) << c.input << ": " << run.err;
  }
  // Each kick later than the one before lengthens the song: one, two, three.
  EXPECT_LT(fs::file_size(home_ / "rock.wav"), fs::file_size(home_ / "roll.WAV"));
  EXPECT_LT(fs::file_size(home_ / "roll.WAV"), fs::file_size(home_ / "mixed.wav"));
}

TEST_F(RenderCommandTest, HelpVersionAndWhatIsLeftToTheWindows) {
  CommandRun run = RunKorvanto({"--help"});
  EXPECT_TRUE(run.handled);
  EXPECT_EQ(run.code, 0);
  EXPECT_NE(run.out.find("render SONG.sng"), std::string::npos);
  run = RunKorvanto({"--version"});
  EXPECT_EQ(run.out.substr(0, run.out.find('\n') + 1), "Korvanto 6.0.0\n");
  run = RunKorvanto({"render", "Demo.sng"});
  EXPECT_TRUE(run.handled);
  EXPECT_EQ(run.code, 2);
  EXPECT_NE(run.err.find("Usage"), std::string::npos);
  EXPECT_FALSE(RunKorvanto({}).handled);
  EXPECT_FALSE(RunKorvanto({"-platform", "offscreen"}).handled);
}

// A song of one pattern that plays sample slot 1 on two steps, slot 1
// holding file.
void WriteSlotSong(const fs::path& home, const std::string& file) {
  std::vector<Row> rows(8, Row{});
  rows[0][0] = "Sample1";
  rows[4][2] = "Sample1";
  WriteTextLines(home / "Slot.pat", PatternLines("Slot", 60, 1, rows));
  WriteTextLines(home / "Slot.sng", {"Slot", "<*sam1", file, "44100", "//", "-1000"});
}

class RenderFormatsTest : public RenderCommandTest {
 protected:
  std::string Render(const std::string& file) {
    WriteSlotSong(home_.path(), file);
    const CommandRun run = RunKorvanto({"render", "Slot.sng", "out.wav"});
    EXPECT_EQ(run.code, 0) << run.err;
    lastErr = run.err;
    return ReadFileBytes(home_ / "out.wav");
  }
  SndFileDecoding decoding;
  std::vector<int16_t> tone = sound_files::Tone16(22050, 44100);
  std::string lastErr;
};

TEST_F(RenderFormatsTest, ASongNamingAFlacRendersExactlyAsWithItsWav) {
  using namespace sound_files;
  WriteSound(home_ / "tone.wav", kWav16, 44100, 2, Widen(tone));
  WriteSound(home_ / "tone.flac", kFlac16, 44100, 2, Widen(tone));
  const std::string wav = Render("tone.wav");
  EXPECT_EQ(Render("tone.flac"), wav);
  EXPECT_EQ(Render((home_ / "tone.flac").string()), wav);
  // Decoded in a folder of the command's own, gone with it.
  EXPECT_TRUE(fs::is_empty(home_ / "temp"));
  // The song still names the FLAC.
  EXPECT_EQ(ReadTextLines(home_ / "Slot.sng").at(2), (home_ / "tone.flac").string());

  // Deep, float and lossy files render close to it.
  WriteSound(home_ / "deep.wav", kWav24, 44100, 2, Widen(tone, 0x4000));
  WriteSound(home_ / "tone.ogg", kOgg, 44100, 2, Widen(tone));
  WriteSound(home_ / "tone.mp3", kMp3, 44100, 2, Widen(tone));
  for (const char* file : {"deep.wav", "tone.ogg", "tone.mp3"}) {
    const std::string other = Render(file);
    ASSERT_EQ(other.size(), wav.size()) << file;
    double signal = 0, error = 0;
    for (size_t i = 44; i + 1 < wav.size(); i += 2) {
      const int a = static_cast<int16_t>((uint8_t(wav[i + 1]) << 8) | uint8_t(wav[i]));
      const int b = static_cast<int16_t>((uint8_t(other[i + 1]) << 8) | uint8_t(other[i]));
      signal += double(a) * a;
      error += double(a - b) * (a - b);
    }
    EXPECT_GT(signal, 0);
    EXPECT_LT(error / signal, file == std::string("deep.wav") ? 1e-5 : 0.1) << file;
  }
}

TEST_F(RenderFormatsTest, ClippingIsReportedAndUndecodableFilesStopTheRender) {
  std::vector<float> loud;
  for (int16_t v : tone) loud.push_back(v / 8192.0f);  // up to about 1.3 of full scale
  sound_files::WriteFloatSound(home_ / "loud.wav", 44100, 2, loud);
  Render("loud.wav");
  EXPECT_NE(lastErr.find("korvanto: loud.wav: "), std::string::npos) << lastErr;
  EXPECT_NE(lastErr.find(" samples lay beyond full scale and were clipped\n"), std::string::npos);

  WriteTextLines(home_ / "notes.flac", {"not a sound"});
  WriteSlotSong(home_.path(), "notes.flac");
  const CommandRun run = RunKorvanto({"render", "Slot.sng", "notes.wav"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "korvanto: Wave is invalid: notes.flac\n");
  EXPECT_FALSE(fs::exists(home_ / "notes.wav"));
}

// A sound file that can't be used is named in front of the system's text; a
// deep file cut short is used as far as it goes, and said so once.
TEST_F(RenderFormatsTest, MessagesNameTheSoundFile) {
  using namespace sound_files;
  WriteSound(home_ / "whole.wav", kWav16, 44100, 2, Widen(tone));
  const std::string whole = ReadFileBytes(home_ / "whole.wav");
  WriteFileAtomically(home_ / "kick.wav", whole.substr(0, whole.size() / 2));
  WriteSound(home_ / "empty.wav", kWav16, 44100, 2, {});
  WriteSound(home_ / "deep.wav", kWav24, 44100, 2, Widen(tone));
  const std::string deep = ReadFileBytes(home_ / "deep.wav");
  WriteFileAtomically(home_ / "cut24.wav", deep.substr(0, deep.size() / 3));
  struct Case {
    std::string file;
    int code;
    std::string err;
  };
  const Case cases[] = {
      {"kick.wav", 1, "korvanto: kick.wav: Stream read error\n"},
      {"empty.wav", 1, "korvanto: empty.wav: Invalid floating point operation\n"},
      {"cut24.wav", 0,
       "korvanto: cut24.wav: the file is shorter than its header says; what is there is used\n"},
  };
  for (const Case& c : cases) {
    WriteSlotSong(home_.path(), c.file);
    const CommandRun run = RunKorvanto({"render", "Slot.sng", "out.wav"});
    EXPECT_EQ(run.code, c.code) << c.file;
    EXPECT_EQ(run.err, c.err) << c.file;
  }
}

}  // namespace
