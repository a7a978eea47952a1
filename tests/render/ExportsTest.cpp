// Stems, loop-exact and FLAC renders from the command line, checked against
// the plain render sample by sample.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <cstdio>

#include "app/RenderCommand.h"
#include "render/RenderProgress.h"
#include "render/RenderTestSupport.h"
#include "render/SongRender.h"
#include "support/ShellOutput.h"
#include "support/SoundFiles.h"
#include "tests/render/CommandHome.h"

namespace fs = std::filesystem;

namespace {

using namespace command_home;

const char* const kKit[] = {"Kick      ", "Short Kick", "Snare     ", "ClsHiat   ",
                            "OpHiat    ", "Tom1      ", "Tom2      ", "Cymbol1   ",
                            "Cymbol2   ", "Rimshot   ", "Shaker    ", "Block     ",
                            "Congo     ", "Cowbell   ", "Crack     ", "Tamb      "};

std::string Cell(int instrument, char digit) {
  return std::string(kKit[instrument]) + "[" + digit + "]";
}

std::vector<std::string> FileNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class ExportsTest : public CommandHomeTest {
 protected:
  void SetUp() override {
    CommandHomeTest::SetUp();
    // Kick to the right, the closed hat to the left.
    Lines pans(17, "0");
    pans[1] = "1500";
    pans[4] = "-2000";
    WriteTextLines(home_ / "Panning.dat", pans);
    sound_files::WriteSound(home_ / "tone.wav", sound_files::kWav16, 44100, 2,
                            sound_files::Widen(sound_files::Tone16(9000, 44100)));
  }

  // Every kit instrument once, quietly, and slot 3 twice: 17 instruments.
  void WriteFullKitSong() {
    std::vector<Row> rows(16, Row{});
    for (int r = 0; r < 16; ++r) rows[r][0] = Cell(r, '4');
    rows[2][1] = "Sample3";
    rows[10][1] = "Sample3";
    WriteTextLines(home_ / "All.pat", PatternLines("All", 60, 1, rows));
    WriteTextLines(home_ / "All.sng", SongLines({"All"}, {{}, {}, {"tone.wav", 30000, -1200}}));
  }

  void Run(const std::vector<std::string>& args) {
    const CommandRun run = RunKorvanto(args);
    ASSERT_EQ(run.code, 0) << run.err;
    lastOut_ = run.out;
  }

  SndFileDecoding decoding_;
  SndFileEncoding encoding_;
  std::string lastOut_;
};

TEST_F(ExportsTest, StemsAreNamedByPlaceAndInstrumentAndSumToTheRender) {
  WriteFullKitSong();
  Run({"render", "All.sng", "all.wav"});
  Run({"render", "All.sng", "--stems", "stems"});
  EXPECT_NE(lastOut_.find("Wrote 17 stems of "), std::string::npos) << lastOut_;

  std::vector<std::string> expected;
  for (int k = 0; k < 16; ++k) {
    std::string name = kKit[k];
    name.erase(name.find_last_not_of(' ') + 1);
    expected.push_back((k < 9 ? "0" : "") + std::to_string(k + 1) + " " + name + ".wav");
  }
  // A slot's stem names its file too.
  expected.push_back("17 Sample3 (tone).wav");
  EXPECT_EQ(FileNames(home_ / "stems"), expected);

  const auto render = WavSamples(home_ / "all.wav");
  std::vector<long> sum(render.size(), 0);
  for (const auto& name : expected) {
    EXPECT_EQ(fs::file_size(home_ / "stems" / name), fs::file_size(home_ / "all.wav")) << name;
    const auto stem = WavSamples(home_ / "stems" / name);
    for (std::size_t i = 0; i < stem.size() && i < sum.size(); ++i) sum[i] += stem[i];
  }
  for (std::size_t i = 0; i < sum.size(); ++i) {
    ASSERT_LT(std::abs(sum[i]), 32767) << "the song clips at sample " << i;
    ASSERT_EQ(sum[i], render[i]) << "sample " << i;
  }
}

// Stems of another song in the folder stay; the message counts them.
TEST_F(ExportsTest, TheStemsMessageCountsOtherStemsInTheFolder) {
  WriteFullKitSong();
  fs::create_directories(home_ / "stems");
  for (const char* name : {"03 Old Snare.wav", "120 Pad.WAV", "1 Single digit.wav", "04.wav",
                           "notes.txt", "05 Tom1.wav.bak"})
    WriteFileAtomically(home_ / "stems" / name, "x");
  Run({"render", "All.sng", "--stems", "stems"});
  EXPECT_NE(lastOut_.find(" to stems; 2 other stem files are in the folder\n"), std::string::npos)
      << lastOut_;
  // Written again over its own stems: nothing else to tell.
  Run({"render", "All.sng", "--stems", "clean"});
  Run({"render", "All.sng", "--stems", "clean"});
  EXPECT_NE(lastOut_.find(" to clean\n"), std::string::npos) << lastOut_;
}

TEST_F(ExportsTest, AStemHoldsWhatTheRenderGivesForItsInstrumentAlone) {
  WriteFullKitSong();
  Run({"render", "All.sng", "--stems", "stems"});
  // The same song with the slot's hits only.
  std::vector<Row> rows(16, Row{});
  rows[2][1] = "Sample3";
  rows[10][1] = "Sample3";
  WriteTextLines(home_ / "Alone.pat", PatternLines("Alone", 60, 1, rows));
  WriteTextLines(home_ / "Alone.sng", SongLines({"Alone"}, {{}, {}, {"tone.wav", 30000, -1200}}));
  Run({"render", "Alone.sng", "alone.wav"});
  const auto alone = WavSamples(home_ / "alone.wav");
  const auto stem = WavSamples(home_ / "stems" / "17 Sample3 (tone).wav");
  ASSERT_LT(alone.size(), stem.size());  // the stem lasts as long as the whole song
  EXPECT_TRUE(std::equal(alone.begin(), alone.end(), stem.begin()));
  EXPECT_TRUE(std::all_of(stem.begin() + alone.size(), stem.end(), [](auto s) { return s == 0; }));
}

TEST_F(ExportsTest, AMonoStemIsTheMeanOfTheStereoOne) {
  WriteFullKitSong();
  Run({"render", "All.sng", "--stems", "stereo"});
  Run({"render", "All.sng", "--stems", "mono", "--mono"});
  EXPECT_EQ(FileNames(home_ / "mono"), FileNames(home_ / "stereo"));
  int differing = 0;  // frames whose channels differ, so the mean is tested
  for (const auto& name : FileNames(home_ / "stereo")) {
    const std::string header = ReadFileBytes(home_ / "mono" / name).substr(0, 44);
    EXPECT_EQ(header[22], 1) << name;  // one channel
    EXPECT_EQ(header[32], 2) << name;  // two bytes a frame
    const auto stereo = WavSamples(home_ / "stereo" / name);
    const auto mono = WavSamples(home_ / "mono" / name);
    ASSERT_EQ(mono.size() * 2, stereo.size()) << name;
    for (std::size_t f = 0; f < mono.size(); ++f) {
      const int left = stereo[2 * f], right = stereo[2 * f + 1];
      differing += left != right;
      // Halves round to the even neighbour.
      const double mean = (left + right) / 2.0;
      ASSERT_EQ(mono[f], std::nearbyint(mean)) << name << " frame " << f;
    }
  }
  EXPECT_GT(differing, 1000);
}

// Two patterns at different tempos; a long cymbal on the last step rings on
// past the end, longer than the song.
TEST_F(ExportsTest, ALoopExactRenderIsTheSongsLengthWithItsTailOnItsStart) {
  std::vector<Row> a(4, Row{});
  a[0][0] = Cell(0, ' ');
  a[3][2] = Cell(7, '2');
  WriteTextLines(home_ / "A.pat", PatternLines("A", 60, 2, a));  // 0.12 s steps
  std::vector<Row> b(2, Row{});
  b[1][1] = Cell(2, '3');
  b[1][2] = Cell(8, ' ');
  WriteTextLines(home_ / "B.pat", PatternLines("B", 50, 1, b));  // 0.1 s steps
  WriteTextLines(home_ / "Loop.sng", SongLines({"A", "B"}));
  Run({"render", "Loop.sng", "plain.wav"});
  Run({"render", "Loop.sng", "loop.wav", "--loop"});
  EXPECT_NE(lastOut_.find("Loop of 0 bars and 10 steps, 1.16 s"), std::string::npos) << lastOut_;

  const long length = 8 * 5292 + 2 * 4410;  // every step's interval, in frames
  const auto plain = WavSamples(home_ / "plain.wav");
  const auto loop = WavSamples(home_ / "loop.wav");
  ASSERT_EQ(static_cast<long>(loop.size()), 2 * length);
  ASSERT_GT(static_cast<long>(plain.size()), 2 * 2 * length) << "the tail wraps more than once";
  for (long i = 0; i < 2 * length; ++i) {
    long sum = 0;
    for (long at = i; at < static_cast<long>(plain.size()); at += 2 * length) sum += plain[at];
    ASSERT_LT(std::abs(sum), 32767);
    ASSERT_EQ(loop[i], sum) << "sample " << i;
  }

  // Stems loop the same way, each as long as the song.
  Run({"render", "Loop.sng", "--stems", "stems", "--loop"});
  for (const auto& name : FileNames(home_ / "stems"))
    EXPECT_EQ(fs::file_size(home_ / "stems" / name), 44u + 4u * length) << name;
}

TEST_F(ExportsTest, AFlacRenderDecodesToTheWaveRendersSamples) {
  Run({"render", "Demo.sng", "demo.wav"});
  Run({"render", "Demo.sng", "demo.flac"});
  Run({"render", "Demo.sng", "mono.FLAC", "--mono"});
  EXPECT_FALSE(fs::exists(home_ / "demo.flac.part"));
  EXPECT_FALSE(fs::exists(home_ / "demo.flac.mix.part"));
  const auto wav = WavSamples(home_ / "demo.wav");
  auto decode = [](const fs::path& path, int channels) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    EXPECT_NE(file, nullptr) << path;
    if (!file) return std::vector<short>{};
    EXPECT_EQ(info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    EXPECT_EQ(info.samplerate, 44100);
    EXPECT_EQ(info.channels, channels);
    std::vector<short> samples(static_cast<std::size_t>(info.frames * info.channels));
    EXPECT_EQ(sf_readf_short(file, samples.data(), info.frames), info.frames);
    sf_close(file);
    return samples;
  };
  const auto flac = decode(home_ / "demo.flac", 2);
  EXPECT_TRUE(std::equal(wav.begin(), wav.end(), flac.begin(), flac.end()));
  EXPECT_LT(fs::file_size(home_ / "demo.flac"), fs::file_size(home_ / "demo.wav") * 3 / 4);
  const auto mono = decode(home_ / "mono.FLAC", 1);
  ASSERT_EQ(mono.size() * 2, wav.size());
  EXPECT_EQ(mono[1000], std::nearbyint((wav[2000] + wav[2001]) / 2.0));
}

TEST_F(ExportsTest, WrongArgumentsAndFailuresHaveTheirExitCodes) {
  for (const auto& args :
       std::vector<std::vector<std::string>>{{"render", "Demo.sng", "--stems"},
                                             {"render", "Demo.sng", "out.wav", "--stems", "dir"},
                                             {"render", "Demo.sng", "out.wav", "--fast"},
                                             {"render", "--loop"},
                                             {"midi", "Demo.sng"},
                                             {"collect", "Demo.sng"}}) {
    const CommandRun run = RunKorvanto(args);
    EXPECT_TRUE(run.handled);
    EXPECT_EQ(run.code, 2) << args.back();
    EXPECT_NE(run.err.find("Usage"), std::string::npos);
  }
  WriteTextLines(home_ / "stems", {"a file, not a folder"});
  CommandRun run = RunKorvanto({"render", "Demo.sng", "--stems", "stems"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "korvanto: Cannot create file stems\n");

  SetSoundEncoder(nullptr);
  run = RunKorvanto({"render", "Demo.sng", "demo.flac"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "korvanto: This build of Korvanto can't write FLAC files\n");
  EXPECT_FALSE(fs::exists(home_ / "demo.flac"));
  EXPECT_FALSE(fs::exists(home_ / "demo.flac.mix.part"));
}

// Stop during the second stem: the first stays, nothing else is written.
TEST_F(ExportsTest, StoppedStemsKeepTheFinishedOnes) {
  struct StopAtSecond : RenderProgress {
    int instruments = 0;
    void Adding(const std::string&) override { ++instruments; }
    bool Cancelled() override { return instruments >= 2; }
  } progress;
  const auto result = StemsFromCommandLine(home_.path(), "Demo.sng", home_ / "stems", progress, {});
  EXPECT_TRUE(result.stems.cancelled);
  EXPECT_EQ(result.stems.written.size(), 1u);
  EXPECT_GT(result.stems.planned, 2u);
  EXPECT_EQ(FileNames(home_ / "stems"), std::vector<std::string>{"01 Kick.wav"});
}

// Stop while a FLAC is written: a render keeps the frames written so far, a
// stem is not written at all.
TEST_F(ExportsTest, StopWhileWritingAFlacKeepsWhatWasWrittenOrNothing) {
  std::vector<std::int32_t> samples;
  for (int i = 0; i < 2 * 200000; ++i) samples.push_back((i * 37) % 20001 - 10000);
  WriteFileAtomically(home_ / "work.wav", rendertest::SongFileBytes(samples));
  struct StopAtThirdBlock : RenderProgress {
    int polls = 0;
    std::int64_t last = 0;
    void Advance(std::int64_t done) override { last = done; }
    bool Cancelled() override { return ++polls > 2; }
  };
  StopAtThirdBlock kept;
  const ShapedSong shaped =
      DeliverSong(home_ / "work.wav", 200000, home_ / "out.flac", {}, kept, 1000, true);
  EXPECT_TRUE(shaped.cancelled);
  EXPECT_EQ(shaped.frames, 2 * 65536);
  EXPECT_EQ(kept.last, 1000 + 2 * 65536);
  SF_INFO info{};
  SNDFILE* file = sf_open((home_ / "out.flac").c_str(), SFM_READ, &info);
  ASSERT_NE(file, nullptr);
  std::vector<short> decoded(static_cast<std::size_t>(info.frames * 2));
  EXPECT_EQ(sf_readf_short(file, decoded.data(), info.frames), 2 * 65536);
  sf_close(file);
  EXPECT_TRUE(std::equal(decoded.begin(), decoded.end(), samples.begin()));

  StopAtThirdBlock dropped;
  EXPECT_TRUE(DeliverSong(home_ / "work.wav", 200000, home_ / "stem.flac", {}, dropped, 0, false)
                  .cancelled);
  EXPECT_FALSE(fs::exists(home_ / "stem.flac"));
  EXPECT_FALSE(fs::exists(home_ / "stem.flac.part"));
}

// The frames libsndfile reads from a file (-1 where it can't open it) and
// the frames soxi tells.
std::int64_t LibsndfileFrames(const fs::path& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return -1;
  std::vector<short> block(4096 * static_cast<std::size_t>(info.channels));
  std::int64_t frames = 0;
  while (const sf_count_t got = sf_readf_short(file, block.data(), 4096)) frames += got;
  sf_close(file);
  return frames;
}
std::string SoxFrames(const fs::path& path) {
  return ShellOutput("soxi -s '" + path.string() + "' 2>&1");
}

// A song of empty patterns, and a song stopped before its first block, give
// files of no frames that other programs open.
TEST_F(ExportsTest, RendersOfNoFramesAreValidFilesOfTheirType) {
  WriteTextLines(home_ / "Quiet.pat", PatternLines("Quiet", 60, 1, std::vector<Row>(4, Row{})));
  WriteTextLines(home_ / "Quiet.sng", SongLines({"Quiet", "Quiet"}));
  struct StopAtOnce : RenderProgress {
    bool Cancelled() override { return true; }
  };
  struct Case {
    std::string song, output;
    bool stop = false;
    bool mono = false;
  };
  const Case cases[] = {
      {"Quiet.sng", "quiet.wav"},
      {"Quiet.sng", "quiet.flac"},
      {"Quiet.sng", "mono.flac", false, true},
      {"Demo.sng", "stopped.wav", true},
      {"Demo.sng", "stopped.flac", true},
      {"Demo.sng", "stopped-mono.flac", true, true},
  };
  for (const Case& c : cases) {
    StopAtOnce stop;
    RenderProgress quiet;
    RenderRequest request;
    request.mono = c.mono;
    const auto result =
        RenderFromCommandLine(home_.path(), c.song, home_ / c.output,
                              c.stop ? static_cast<RenderProgress&>(stop) : quiet, request);
    EXPECT_EQ(result.frames, 0) << c.output;
    EXPECT_EQ(SoxFrames(home_ / c.output), "0\n") << c.output;
    EXPECT_EQ(LibsndfileFrames(home_ / c.output), 0) << c.output;
  }
}

// A disk that takes no more (here: a file size limit) is named with the
// system's reason, and leaves no file behind.
TEST_F(ExportsTest, AFullDiskIsReportedWithTheFileAndTheSystemsReason) {
  WriteFullKitSong();
  struct FileSizeLimit {
    rlimit before{};
    explicit FileSizeLimit(rlim_t bytes) {
      std::signal(SIGXFSZ, SIG_IGN);
      getrlimit(RLIMIT_FSIZE, &before);
      rlimit limit = before;
      limit.rlim_cur = bytes;
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
      setrlimit(RLIMIT_FSIZE, &before);
      std::signal(SIGXFSZ, SIG_DFL);
    }
  };
  for (const std::string output : {"all.wav", "all.flac"}) {
    CommandRun run;
    {
      const FileSizeLimit limit(200 * 1024);
      run = RunKorvanto({"render", "All.sng", output});
    }
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "korvanto: " + output + ": Stream write error (File too large)\n");
    EXPECT_FALSE(fs::exists(home_ / output));
    EXPECT_FALSE(fs::exists(home_ / (output + ".part")));
    EXPECT_FALSE(fs::exists(home_ / (output + ".mix.part")));
  }
}

}  // namespace
