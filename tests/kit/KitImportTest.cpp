// "korvanto kit import": Hydrogen drumkits of both layouts, .h2drumkit
// archives and SFZ files made here become kit files; bad input is refused
// with a message naming the file and line, and nothing is written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "common/Files.h"
#include "common/Text.h"
#include "kit/DrumkitXml.h"
#include "kit/KitSourceReaders.h"
#include "support/CommandRun.h"
#include "support/TempDir.h"
#include "tests/kit/ImportKitFiles.h"
#include "tests/kit/KitArchives.h"

namespace fs = std::filesystem;
using namespace import_kits;

namespace {

const std::vector<int16_t> kSoftKick = Ramp(200, -3000, 10);
const std::vector<int16_t> kHardKick = Ramp(300, -9000, 40);
const std::vector<int16_t> kSnare = Ramp(250, -8000, 64);  // even: half of it is exact
const std::vector<int16_t> kHat = Ramp(120, 500, 3);

// The current layout: instruments of components of layers.
const char* const kCurrentLayout = R"(<?xml version="1.0" encoding="UTF-8"?>
<drumkit_info xmlns="http://www.hydrogen-music.org/drumkit">
 <name>TestKit</name>
 <author>tests</author>
 <componentList><drumkitComponent><id>0</id><name>Main</name></drumkitComponent></componentList>
 <instrumentList>
  <instrument>
   <id>0</id>
   <name>Kick</name>
   <volume>1</volume>
   <pan_L>1</pan_L>
   <pan_R>1</pan_R>
   <midiOutNote>36</midiOutNote>
   <instrumentComponent>
    <component_id>0</component_id>
    <gain>1</gain>
    <layer><filename>kick-soft.wav</filename><min>0</min><max>0.5</max><gain>1</gain></layer>
    <layer><filename>kick-hard.flac</filename><min>0.5</min><max>1</max><gain>1</gain></layer>
   </instrumentComponent>
  </instrument>
  <instrument>
   <id>1</id>
   <name>Snare Drum Tight</name>
   <volume>0.5</volume>
   <pan_L>1</pan_L>
   <pan_R>0.5</pan_R>
   <instrumentComponent>
    <component_id>0</component_id>
    <layer><filename>snare.wav</filename><min>0</min><max>1</max></layer>
   </instrumentComponent>
  </instrument>
  <instrument>
   <id>2</id>
   <name></name>
   <pan>0.25</pan>
   <midiOutNote>42</midiOutNote>
   <instrumentComponent>
    <component_id>0</component_id>
    <layer><filename>hats/closed.wav</filename><min>0</min><max>1</max></layer>
   </instrumentComponent>
  </instrument>
 </instrumentList>
</drumkit_info>
)";

// The older layout: a <filename> of its own or <layer>s right in the instrument.
const char* const kOlderLayout = R"(<?xml version="1.0" encoding="UTF-8"?>
<drumkit_info>
 <name>OldKit</name>
 <instrumentList>
  <instrument>
   <name>Kick</name>
   <volume>1</volume>
   <layer><filename>kick-hard.flac</filename><min>0.5</min><max>1</max></layer>
   <layer><filename>kick-soft.wav</filename><min>0</min><max>0.5</max></layer>
  </instrument>
  <instrument>
   <name>Snare</name>
   <gain>0.5</gain>
   <pan_L>0.5</pan_L>
   <pan_R>1</pan_R>
   <filename>snare.wav</filename>
  </instrument>
 </instrumentList>
</drumkit_info>
)";

class KitImport : public ::testing::Test {
 protected:
  KitImport() {
    SetKitSourceReaders(QtKitSourceReaders());
    WriteMono(kit_ / "kick-soft.wav", kSoftKick);
    WriteMono(kit_ / "kick-hard.flac", kHardKick, sound_files::kFlac16);
    WriteMono(kit_ / "snare.wav", kSnare);
    WriteMono(kit_ / "hats" / "closed.wav", kHat);
  }
  ~KitImport() override { SetKitSourceReaders({}); }

  CommandRun Import(const fs::path& source, const fs::path& out) {
    const CommandRun run = RunKorvanto({"kit", "import", source.string(), out.string()});
    EXPECT_TRUE(run.handled);
    return run;
  }

  // A refused import: exit code 1, the message, and nothing written.
  void ExpectRefused(const fs::path& source, const std::string& message) {
    const fs::path out = dir_ / "refused.dxg";
    const CommandRun run = Import(source, out);
    EXPECT_EQ(run.code, 1) << run.out;
    EXPECT_NE(run.err.find(message), std::string::npos)
        << "got: " << run.err << "wanted: " << message;
    EXPECT_FALSE(fs::exists(out));
    EXPECT_FALSE(fs::exists(dir_ / "refused-Panning.dat"));
  }

  TempDir dir_;
  fs::path kit_ = dir_ / "TestKit";
  SndFileDecoding decoding_;
};

}  // namespace

TEST_F(KitImport, CurrentLayoutTakesTheLoudLayerWithGainAndPan) {
  WriteText(kit_ / "drumkit.xml", kCurrentLayout);
  const CommandRun run = Import(kit_, dir_ / "test.dxg");
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out,
            "Imported 3 instruments from TestKit (1 layered instrument: the loudest "
            "layer taken) into " +
                (dir_ / "test.dxg").string() + "\n");
  const KitContent kit = ReadKit(dir_ / "test.dxg");
  // The unnamed instrument plays note 42: the General MIDI name.
  EXPECT_EQ(kit.names,
            (std::vector<std::string>{"Kick      [ ]", "Snare Drum[ ]", "ClosedHat [ ]"}));
  EXPECT_EQ(kit.samples[0], kHardKick);  // FLAC, full velocity
  EXPECT_EQ(kit.samples[1], Scaled(kSnare, 0.5));
  EXPECT_EQ(kit.samples[2], kHat);
  // pan_R at half of pan_L: half way left; <pan> 0.25: a quarter right.
  Lines pans(17, "0");
  pans[2] = "-1000";
  pans[3] = "500";
  EXPECT_EQ(SplitLines(ReadText(dir_ / "test-Panning.dat")), pans);
}

TEST_F(KitImport, OlderLayoutAndTheFileOrFolderAlike) {
  WriteText(kit_ / "drumkit.xml", kOlderLayout);
  for (const fs::path& source : {kit_, kit_ / "drumkit.xml"}) {
    const fs::path out = dir_ / "old.dxg";
    fs::remove(out);
    const CommandRun run = Import(source, out);
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("Imported 2 instruments from OldKit (1 layered"), std::string::npos);
    const KitContent kit = ReadKit(out);
    EXPECT_EQ(kit.names, (std::vector<std::string>{"Kick      [ ]", "Snare     [ ]"}));
    EXPECT_EQ(kit.samples[0], kHardKick);
    EXPECT_EQ(kit.samples[1], Scaled(kSnare, 0.5));
    const Lines pans = SplitLines(ReadText(dir_ / "old-Panning.dat"));
    ASSERT_EQ(pans.size(), 17u);
    EXPECT_EQ(pans[2], "1000");  // pan_L at half of pan_R: half way right
  }
}

TEST_F(KitImport, ArchivesOfTheKitFolderMadeByLibarchiveAndByTar) {
  WriteText(kit_ / "drumkit.xml", kCurrentLayout);
  WriteArchive(dir_ / "Gzipped.h2drumkit", MembersOf(kit_, "TestKit"));
  WriteArchive(dir_ / "Bzipped.h2drumkit", MembersOf(kit_, "TestKit"), Packing::Bzip2);
  WriteArchive(dir_ / "Plain.h2drumkit", MembersOf(kit_, "TestKit"), Packing::Plain);
  const std::string tar =
      "cd '" + dir_.path().string() + "' && tar -czf Tarred.h2drumkit TestKit 2>/dev/null";
  ASSERT_EQ(std::system(tar.c_str()), 0);
  for (const char* archive :
       {"Gzipped.h2drumkit", "Bzipped.h2drumkit", "Plain.h2drumkit", "Tarred.h2drumkit"}) {
    const fs::path out = dir_ / (std::string(archive) + ".dxg");
    const CommandRun run = Import(dir_ / archive, out);
    ASSERT_EQ(run.code, 0) << run.err;
    const KitContent kit = ReadKit(out);
    ASSERT_EQ(kit.names.size(), 3u) << archive;
    EXPECT_EQ(kit.samples[0], kHardKick);
    EXPECT_EQ(kit.samples[2], kHat);
  }
}

TEST_F(KitImport, SfzRegionsByKeyNamedAfterGeneralMidi) {
  WriteMono(kit_ / "samples" / "k1.wav", kSoftKick);
  WriteMono(kit_ / "samples" / "k2.flac", kHardKick, sound_files::kFlac16);
  WriteMono(kit_ / "samples" / "rim shot.wav", kHat);
  WriteMono(kit_ / "samples" / "boom.wav", kSnare);
  WriteText(kit_ / "drums.sfz",
            "<control> default_path=samples/\n"
            "<group> key=36 ampeg_attack=0.001\n"
            "<region> sample=k1.wav hivel=80\n"
            "<region> sample=k2.flac lovel=81\n"
            "<region> sample=rim shot.wav key=37 pan=-100\n"
            "<region> sample=boom.wav key=90 volume=-6.0206 amp_veltrack=100\n");
  const CommandRun run = Import(kit_ / "drums.sfz", dir_ / "sfz.dxg");
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("Imported 3 instruments from drums (1 layered instrument: the loudest "
                         "layer taken, 2 opcodes ignored)"),
            std::string::npos)
      << run.out;
  const KitContent kit = ReadKit(dir_ / "sfz.dxg");
  EXPECT_EQ(kit.names,
            (std::vector<std::string>{"Kick      [ ]", "Rim       [ ]", "boom      [ ]"}));
  EXPECT_EQ(kit.samples[0], kHardKick);
  EXPECT_EQ(kit.samples[1], kHat);
  // -6.0206 dB is a hair under a half: dithered.
  ASSERT_EQ(kit.samples[2].size(), kSnare.size());
  for (std::size_t i = 0; i < kSnare.size(); ++i)
    EXPECT_LE(std::abs(kit.samples[2][i] - kSnare[i] / 2), 1) << i;
  EXPECT_EQ(SplitLines(ReadText(dir_ / "sfz-Panning.dat"))[2], "-2000");
}

TEST_F(KitImport, DeepAndFloatLayersAreDitheredAndAGainThatClipsIsTold) {
  // 24 bits: the 16-bit value plus a quarter step below it.
  sound_files::WriteSound(kit_ / "deep.wav", sound_files::kWav24, 44100, 1,
                          sound_files::Widen(kSoftKick, 0x4000));
  WriteMono(kit_ / "loud.wav", {30000, -30000, 100, 20000});
  WriteText(kit_ / "loud.sfz",
            "<region> sample=deep.wav key=38\n"
            "<region> sample=loud.wav key=36 volume=6\n");
  const CommandRun run = Import(kit_ / "loud.sfz", dir_ / "loud.dxg");
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.err.find("Kick: the gain of +6.0 dB clipped 3 samples"), std::string::npos)
      << run.err;
  const KitContent kit = ReadKit(dir_ / "loud.dxg");
  ASSERT_EQ(kit.samples[0].size(), kSoftKick.size());
  for (std::size_t i = 0; i < kSoftKick.size(); ++i)
    EXPECT_LE(std::abs(kit.samples[0][i] - kSoftKick[i]), 1) << i;
  EXPECT_EQ(kit.samples[1][0], 32767);
  EXPECT_EQ(kit.samples[1][1], -32768);
  EXPECT_EQ(kit.samples[1][3], 32767);
  EXPECT_NEAR(kit.samples[1][2], 200, 1);
}

TEST_F(KitImport, ClashingNamesTakeADigit) {
  WriteText(kit_ / "drumkit.xml", R"(<drumkit_info><name>Twins</name><instrumentList>
    <instrument><name>Tambourine</name><filename>snare.wav</filename></instrument>
    <instrument><name>tambourine</name><filename>kick-soft.wav</filename></instrument>
    </instrumentList></drumkit_info>)");
  const CommandRun run = Import(kit_, dir_ / "twins.dxg");
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(ReadKit(dir_ / "twins.dxg").names,
            (std::vector<std::string>{"Tambourine[ ]", "tambourin2[ ]"}));
}

TEST_F(KitImport, BadInputIsRefusedNamingTheFileAndLine) {
  const fs::path xml = kit_ / "drumkit.xml";
  auto kitWith = [&](const std::string& instruments) {
    WriteText(xml, "<drumkit_info><name>Bad</name><instrumentList>\n" + instruments +
                       "</instrumentList></drumkit_info>\n");
    return kit_;
  };
  auto instrument = [](const std::string& file) {
    return "<instrument><name>X</name>\n<filename>" + file + "</filename></instrument>\n";
  };
  fs::create_symlink("/etc/passwd", kit_ / "escape.wav");
  WriteText(dir_ / "a.sfz", "<region> sample=snare.wav key=38\n#include \"b.sfz\"\n");
  WriteText(dir_ / "b.sfz", "#include \"a.sfz\"\n");
  WriteArchive(dir_ / "climb.h2drumkit", {{"Kit/drumkit.xml", kOlderLayout}, {"../evil.wav", "x"}});
  WriteArchive(dir_ / "link.h2drumkit",
               {{"Kit/drumkit.xml", kOlderLayout}, {"Kit/snare.wav", "", "/etc/passwd"}});
  WriteArchive(dir_ / "absolute.h2drumkit", {{"/tmp/evil.wav", "x"}});
  WriteArchive(dir_ / "lonely.h2drumkit", {{"Kit/drumkit.xml", kOlderLayout}});
  WriteTarDeclaring(dir_ / "huge.h2drumkit", "Kit/huge.wav", 4ull << 30);
  WriteText(dir_ / "junk.h2drumkit", "not an archive at all");
  WriteText(dir_ / "notes.txt", "hello");
  std::string thousand;
  for (int i = 0; i < 1000; ++i) thousand += instrument("snare.wav");

  struct Case {
    std::function<fs::path()> make;
    std::string message;
  };
  const std::string at = xml.string() + ":";
  const Case cases[] = {
      {[&] { return kitWith(instrument("missing.wav")); }, at + "3: sample not found: missing.wav"},
      {[&] { return kitWith(instrument("../../etc/passwd")); },
       at + "3: '../../etc/passwd' leaves the kit's folder"},
      {[&] { return kitWith(instrument("/etc/passwd")); }, at + "3: '/etc/passwd' is an absolute"},
      {[&] { return kitWith(instrument("escape.wav")); },
       at + "3: 'escape.wav' leads out of the kit's folder through a link"},
      {[&] { return kitWith("<instrument><name>X</name>\n<volume>1</vol>\n</instrument>\n"); },
       at + "3: "},
      {[&] { return kitWith("<instrument><volume>loud</volume></instrument>\n"); },
       at + "2: <volume> 'loud' is not a number"},
      {[&] {
         WriteText(xml, "<song><name>Bad</name></song>\n");
         return kit_;
       },
       at + "1: not a Hydrogen drumkit: its root is <song>"},
      {[&] { return kitWith(""); }, xml.string() + ": the kit has no instruments"},
      {[&] { return kitWith(thousand); },
       xml.string() + ": the kit has 1000 instruments; a kit holds at most 100"},
      {[&] { return dir_ / "a.sfz"; }, (dir_ / "b.sfz").string() + ":1: #include \"" +
                                           (dir_ / "a.sfz").string() +
                                           "\" includes itself (recursive #include)"},
      {[&] { return dir_ / "climb.h2drumkit"; },
       "climb.h2drumkit: member '../evil.wav' climbs out of the archive's folder"},
      {[&] { return dir_ / "link.h2drumkit"; }, "link.h2drumkit: member 'Kit/snare.wav' is a link"},
      {[&] { return dir_ / "absolute.h2drumkit"; },
       "absolute.h2drumkit: member '/tmp/evil.wav' has an absolute path"},
      {[&] { return dir_ / "huge.h2drumkit"; },
       "huge.h2drumkit: member 'Kit/huge.wav' is 4096 MiB: larger than a kit's file can be"},
      {[&] { return dir_ / "junk.h2drumkit"; }, "junk.h2drumkit: "},
      {[&] { return dir_ / "lonely.h2drumkit"; },
       "lonely.h2drumkit: Kit/drumkit.xml:8: sample not found: kick-hard.flac"},
      {[&] { return dir_ / "notes.txt"; }, "notes.txt: not a drumkit folder, a drumkit.xml"},
      {[&] { return dir_ / "nothing"; }, "Cannot open file " + (dir_ / "nothing").string()},
      {[&] { return dir_.path(); }, dir_.path().string() + ": this folder holds no drumkit.xml"},
  };
  for (const Case& c : cases) ExpectRefused(c.make(), c.message);
  EXPECT_FALSE(fs::exists("/tmp/evil.wav"));
  EXPECT_FALSE(fs::exists(dir_ / "evil.wav"));
}

TEST_F(KitImport, AFailedImportLeavesTheKitThereAndNeverWritesOverItsInput) {
  WriteText(kit_ / "drumkit.xml", kOlderLayout);
  WriteText(dir_ / "keep.dxg", "my kit");
  WriteText(kit_ / "bad" / "drumkit.xml", "<drumkit_info><instrumentList><instrument>");
  CommandRun run = Import(kit_ / "bad", dir_ / "keep.dxg");
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(ReadText(dir_ / "keep.dxg"), "my kit");
  const std::string snare = ReadText(kit_ / "snare.wav");
  run = Import(kit_, kit_ / "snare.wav");
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("it is one of the files being read"), std::string::npos) << run.err;
  EXPECT_EQ(ReadText(kit_ / "snare.wav"), snare);
}

TEST_F(KitImport, WrongArgumentsShowTheUsage) {
  const CommandRun run = RunKorvanto({"kit", "import", kit_.string()});
  EXPECT_EQ(run.code, 2);
  EXPECT_NE(run.err.find("korvanto kit import SOURCE OUT.dxg"), std::string::npos);
}

// The program as a user runs it: the readers are there from its start.
TEST_F(KitImport, TheProgramItselfImportsAnArchive) {
  WriteText(kit_ / "drumkit.xml", kCurrentLayout);
  WriteArchive(dir_ / "TestKit.h2drumkit", MembersOf(kit_, "TestKit"));
  const std::string command = "cd '" + dir_.path().string() +
                              "' && '" KORVANTO_TEST_BUILD_DIR
                              "/korvanto' kit import TestKit.h2drumkit out.dxg > said.txt 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << ReadText(dir_ / "said.txt");
  EXPECT_EQ(ReadText(dir_ / "said.txt"),
            "Imported 3 instruments from TestKit (1 layered instrument: the loudest layer taken) "
            "into out.dxg\n");
  const KitContent kit = ReadKit(dir_ / "out.dxg");
  ASSERT_EQ(kit.samples.size(), 3u);
  EXPECT_EQ(kit.samples[0], kHardKick);
  EXPECT_TRUE(fs::exists(dir_ / "out-Panning.dat"));
}

TEST_F(KitImport, InstrumentsWithoutASampleAreLeftOutAndCounted) {
  WriteText(kit_ / "drumkit.xml", R"(<drumkit_info><name>Gaps</name><instrumentList>
    <instrument><name>Empty</name></instrument>
    <instrument><name>Snare</name><filename>snare.wav</filename></instrument>
    <instrument><name>Hollow</name><instrumentComponent><gain>1</gain></instrumentComponent>
    </instrument></instrumentList></drumkit_info>)");
  const CommandRun run = Import(kit_, dir_ / "gaps.dxg");
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, "Imported 1 instrument from Gaps (2 without a sample left out) into " +
                         (dir_ / "gaps.dxg").string() + "\n");
  EXPECT_EQ(ReadKit(dir_ / "gaps.dxg").names, std::vector<std::string>{"Snare     [ ]"});
}
