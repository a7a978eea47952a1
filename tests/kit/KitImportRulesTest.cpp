// The rules of a kit import that need no XML reader or archive: the SFZ
// reader, the layer a single hit takes, instrument names, and the paths a
// kit may name.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "common/Exception.h"
#include "kit/ImportedKit.h"
#include "kit/KitImportNames.h"
#include "kit/KitSamplePath.h"
#include "kit/SfzReader.h"
#include "render/GmDrumMap.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
namespace {

void WriteText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& error) {
    return error.what();
  }
  return "";
}

ImportedInstrument Named(const std::string& name, int note = -1, const std::string& sample = "") {
  ImportedInstrument instrument;
  instrument.name = name;
  instrument.note = note;
  if (!sample.empty()) instrument.layers.push_back(ImportedLayer{sample, {}, 1, 0, 1, 1, 0});
  return instrument;
}

}  // namespace

TEST(SfzNote, NumbersAndNoteNames) {
  const std::pair<const char*, int> cases[] = {
      {"36", 36}, {"0", 0},    {"127", 127}, {"128", -1}, {"-1", -1},   {"c4", 60},
      {"C4", 60}, {"c#4", 61}, {"db4", 61},  {"c-1", 0},  {"g9", 127},  {"g#9", -1},
      {"h3", -1}, {"", -1},    {"c", -1},    {"c4x", -1}, {"36.5", -1}, {"e2", 40}};
  for (const auto& [text, note] : cases) EXPECT_EQ(SfzNote(text), note) << text;
}

TEST(GmDrumShortName, EveryNoteTheExportMapsComesBackToItsNote) {
  for (const GmDrumName& row : kGmDrumMap) {
    const std::string name = GmDrumShortName(row.note);
    EXPECT_EQ(GmDrumNote(name), row.note) << name;
  }
  std::vector<std::string> seen;
  for (int note = 35; note <= 81; ++note) {
    const std::string name = GmDrumShortName(note);
    EXPECT_FALSE(name.empty()) << note;
    EXPECT_LE(name.size(), 10u) << name;
    EXPECT_EQ(std::count(seen.begin(), seen.end(), name), 0) << name;
    seen.push_back(name);
  }
  EXPECT_EQ(GmDrumShortName(34), "");
  EXPECT_EQ(GmDrumShortName(82), "");
}

TEST(ImportedInstrumentNames, CutToTenUniqueAndFromTheNoteOrSampleWhenUnnamed) {
  struct Case {
    std::vector<ImportedInstrument> instruments;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {{Named("Kick"), Named("Kick"), Named("kick")}, {"Kick", "Kick2", "kick3"}},
      {{Named("Tambourine"), Named("Tambourine")}, {"Tambourine", "Tambourin2"}},
      {{Named("Hi-Hat Closed Tight")}, {"Hi-Hat Clo"}},
      {{Named("", 38), Named("", 36), Named("  ", 42)}, {"Snare", "Kick", "ClosedHat"}},
      {{Named("", 20, "sounds\\boom_v127.wav")}, {"boom_v127"}},
      {{Named("", -1)}, {"Instrument"}},
      {{Named("Big [x]")}, {"Big (x)"}},
      {{Named("Cr\xC3\xA2sh")}, {"Cr\xE2sh"}},
      {{Named("Snare", 40), Named("", 38)}, {"Snare", "Snare2"}},
  };
  for (const Case& c : cases) {
    ImportedKit kit;
    kit.instruments = c.instruments;
    EXPECT_EQ(ImportedInstrumentNames(kit), c.names) << c.names.front();
  }
}

TEST(FullVelocityLayer, TheLayerThatAnswersFullVelocityElseTheLoudest) {
  struct Case {
    std::vector<std::pair<double, double>> ranges;
    int chosen;
  };
  const Case cases[] = {
      {{{0, 0.5}, {0.5, 1}}, 1},
      {{{0.5, 1}, {0, 0.5}}, 0},
      {{{0, 1}, {0, 1}, {0, 1}}, 0},  // round robins: the first
      {{{0, 0.3}, {0.3, 0.7}}, 1},
      {{{0, 0.2}, {0.2, 0.9999999}}, 1},
      {{}, -1},
  };
  for (const Case& c : cases) {
    ImportedInstrument instrument;
    for (const auto& [low, high] : c.ranges)
      instrument.layers.push_back(ImportedLayer{"x", {}, 0, low, high, 1, 0});
    const ImportedLayer* layer = FullVelocityLayer(instrument);
    EXPECT_EQ(layer ? layer - instrument.layers.data() : -1, c.chosen);
  }
}

TEST(SamplePathInKit, StaysInTheKitsFolder) {
  TempDir dir;
  fs::create_directories(dir / "kit" / "sub");
  fs::create_symlink("/etc", dir / "kit" / "system");
  fs::create_symlink(dir / "kit" / "sub", dir / "kit" / "inside");
  const fs::path kit = dir / "kit";
  const fs::path xml = kit / "drumkit.xml";
  struct Case {
    std::string written;
    std::string refusal;  // empty: taken
  };
  const Case cases[] = {
      {"kick.wav", ""},
      {"sub/kick.wav", ""},
      {"sub/../kick.wav", ""},
      {"sub\\kick.wav", ""},
      {"inside/kick.wav", ""},
      {"../../etc/passwd", "'../../etc/passwd' leaves the kit's folder"},
      {"sub/../../kick.wav", "leaves the kit's folder"},
      {"/etc/passwd", "'/etc/passwd' is an absolute path"},
      {"C:\\drums\\kick.wav", "is an absolute path"},
      {"system/passwd", "'system/passwd' leads out of the kit's folder through a link"},
      {"", "no file is named"},
  };
  for (const Case& c : cases) {
    const std::string error = ErrorOf([&] { SamplePathInKit(kit, c.written, xml, 7); });
    if (c.refusal.empty()) {
      EXPECT_EQ(error, "") << c.written;
    } else {
      EXPECT_NE(error.find(xml.string() + ":7: "), std::string::npos) << error;
      EXPECT_NE(error.find(c.refusal), std::string::npos) << error;
    }
  }
  EXPECT_EQ(SamplePathInKit(kit, "sub\\kick.wav", xml, 1), kit / "sub" / "kick.wav");
}

class SfzFiles : public ::testing::Test {
 protected:
  ImportedKit Read(const std::string& text) {
    WriteText(dir_ / "kit.sfz", text);
    return ReadSfz(dir_ / "kit.sfz");
  }
  std::string Refusal(const std::string& text) {
    return ErrorOf([&] { Read(text); });
  }
  TempDir dir_;
};

TEST_F(SfzFiles, RegionsByKeyInOrderWithInheritedOpcodes) {
  const ImportedKit kit = Read(
      "// a drum kit\n"
      "<control> default_path=samples/\n"
      "#define $SNARE 38\n"
      "<global> volume=-6 ampeg_release=0.5\n"
      "<group> key=36 pan=-50 /* kick\n"
      "  layers */\n"
      "<region> sample=kick soft.wav lovel=1 hivel=64\n"
      "< region > sample=kick hard.wav lovel=65 hivel=127 volume=0\n"
      "<group> key=$SNARE\n"
      "<region> sample=snare.wav pan=25 seq_position=1\n"
      "<region>sample=tom.wav lokey=c3 hikey=e3 pitch_keycenter=d3 trigger=attack\n");
  ASSERT_EQ(kit.instruments.size(), 3u);
  const ImportedInstrument& kick = kit.instruments[0];
  EXPECT_EQ(kick.note, 36);
  ASSERT_EQ(kick.layers.size(), 2u);
  EXPECT_EQ(kick.layers[0].sample, "samples/kick soft.wav");
  EXPECT_EQ(kick.layers[0].line, 7);
  EXPECT_DOUBLE_EQ(kick.layers[0].highVelocity, 64 / 127.0);
  EXPECT_NEAR(kick.layers[0].gain, 0.501187, 1e-6);  // -6 dB from <global>
  EXPECT_DOUBLE_EQ(kick.layers[1].gain, 1.0);        // the region's own volume
  EXPECT_DOUBLE_EQ(kick.layers[1].pan, -0.5);        // from <group>
  EXPECT_EQ(FullVelocityLayer(kick), &kick.layers[1]);
  const ImportedInstrument& snare = kit.instruments[1];
  EXPECT_EQ(snare.note, 38);
  EXPECT_DOUBLE_EQ(snare.layers[0].pan, 0.25);
  EXPECT_EQ(snare.layers[0].sample, "samples/snare.wav");
  const ImportedInstrument& tom = kit.instruments[2];
  EXPECT_EQ(tom.note, 50);  // the key centre of its range
  // ampeg_release, seq_position and trigger.
  EXPECT_EQ(kit.ignoredOpcodes, 3);
  EXPECT_EQ(kit.name, "kit");
}

TEST_F(SfzFiles, IncludedFilesAndDefinesAcrossThem) {
  WriteText(dir_ / "parts" / "kick.sfz", "<region> sample=$DIR/kick.wav key=$KICK\n");
  const ImportedKit kit = Read(
      "#define $KICK 36\n"
      "#define $DIR drums\n"
      "#include \"parts/kick.sfz\"\n"
      "<region> sample=clap.wav key=39 // one more\n");
  ASSERT_EQ(kit.instruments.size(), 2u);
  EXPECT_EQ(kit.instruments[0].layers[0].sample, "drums/kick.wav");
  EXPECT_EQ(kit.instruments[0].layers[0].source, dir_ / "parts" / "kick.sfz");
  EXPECT_EQ(kit.instruments[0].note, 36);
  EXPECT_EQ(kit.instruments[1].note, 39);
}

TEST_F(SfzFiles, BadInputNamesTheFileAndLine) {
  WriteText(dir_ / "a.sfz", "#include \"b.sfz\"\n");
  WriteText(dir_ / "b.sfz", "<region> sample=x.wav key=36\n\n#include \"a.sfz\"\n");
  const fs::path kit = dir_ / "kit.sfz";
  const std::pair<std::string, std::string> cases[] = {
      {"#include \"a.sfz\"\n", (dir_ / "b.sfz").string() + ":3: #include \"" +
                                   (dir_ / "a.sfz").string() + "\" includes itself"},
      {"#include \"kit.sfz\"\n", kit.string() + ":1: #include"},
      {"\n<region sample=x.wav\n", kit.string() + ":2: a header without its '>'"},
      {"<region> sample=x.wav\nkey 36\n", kit.string() + ":2: 'key 36' is neither"},
      {"<region> sample=x.wav key=z9\n", kit.string() + ":1: key=z9: not a MIDI note"},
      {"<region> sample=x.wav volume=loud\n", kit.string() + ":1: volume=loud: not a number"},
      {"<region> sample=x.wav hivel=200\n", kit.string() + ":1: hivel=200: not a velocity"},
      {"#include \"../outside.sfz\"\n", kit.string() + ":1: '../outside.sfz' leaves"},
      {"#include \"missing.sfz\"\n", kit.string() + ":1: can't read"},
      {"#define KICK 36\n", kit.string() + ":1: #define needs a $NAME"},
  };
  for (const auto& [text, message] : cases) {
    const std::string error = Refusal(text);
    EXPECT_NE(error.find(message), std::string::npos)
        << "got: " << error << "\nwanted: " << message;
  }
}

TEST_F(SfzFiles, RegionsWithoutASampleFileAreNoInstruments) {
  const ImportedKit kit = Read(
      "<region> key=36\n"
      "<region> sample=*sine key=37\n"
      "<region> sample=rim.wav key=37\n");
  ASSERT_EQ(kit.instruments.size(), 1u);
  EXPECT_EQ(kit.instruments[0].layers[0].sample, "rim.wav");
}
