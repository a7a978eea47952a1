#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "common/Exception.h"
#include "common/Files.h"
#include "kit/KitFile.h"
#include "kit/KitTestSupport.h"
#include "kit/WaveCollection.h"
#include "support/TempDir.h"

namespace {

std::string Short(const std::string& s) {
  return B({int(s.size())}) + s;
}

std::string Frame(const std::string& object) {
  return B({0xFF, 0x0A, 0x00}) + "VELMORXWAVECOLLECTION" + B({0, 0x30, 0x10}) +
         U32(static_cast<uint32_t>(object.size())) + object;
}

std::string Object(const std::string& entries) {
  return "TPF0" + Short("TWaveCollectionComponent") + B({0}) + Short("List") + B({0x0E}) + entries +
         B({0, 0, 0});
}

std::string Entry(const std::string& properties) {
  return B({1}) + properties + B({0});
}
std::string NameProperty(const std::string& name) {
  return Short("Name") + B({6}) + Short(name);
}
std::string WaveProperty(const std::string& blob) {
  return Short("Wave.WAVE") + B({0x0A}) + U32(static_cast<uint32_t>(blob.size())) + blob;
}

std::string Blob() {
  return Riff(Chunk("fmt ", PcmFormat()) + Chunk("data", "ab")) + B({0});
}

// A kit with three entries, then the rest of the file as given.
TWaveCollection& ThreeEntries(TWaveCollection& kit) {
  kit.Add().SetName("keep 1");
  kit.Add().SetName("keep 2");
  kit.Add();
  return kit;
}

std::string LoadMessage(const std::string& bytes, TWaveCollection& kit) {
  std::istringstream in(bytes);
  try {
    kit.LoadFromStream(in);
  } catch (const Exception& e) {
    return e.Message();
  }
  return "";
}

}  // namespace

TEST(KitFile, ByteExactLayout) {
  TWaveCollection kit;
  kit.Add();
  TWaveCollectionItem& hit = kit.Add();
  hit.SetName("Hit");
  hit.SetWave(PcmWave({1, 0x7FFF}));
  kit.Add().SetName(std::string(300, 'x'));

  std::string format = B({1, 0, 1, 0, 0x44, 0xAC, 0, 0, 0x88, 0x58, 1, 0, 2, 0, 16, 0, 0, 0});
  std::string blob = "RIFF" + B({42, 0, 0, 0}) + "WAVE" + "fmt " + B({18, 0, 0, 0}) + format +
                     "data" + B({4, 0, 0, 0}) + B({1, 0, 0xFF, 0x7F}) + B({0});
  std::string expected =
      B({0xFF, 10, 0}) + "VELMORXWAVECOLLECTION" + B({0}) + B({0x30, 0x10}) + B({0xCD, 1, 0, 0}) +
      "TPF0" + B({24}) + "TWaveCollectionComponent" + B({0}) + B({4}) + "List" + B({0x0E}) +
      // unnamed entry, empty wave
      B({1}) + B({9}) + "Wave.WAVE" + B({0x0A, 0, 0, 0, 0}) + B({0}) +
      // named entry with four bytes of 16-bit data
      B({1}) + B({4}) + "Name" + B({6, 3}) + "Hit" + B({9}) + "Wave.WAVE" + B({0x0A, 51, 0, 0, 0}) +
      blob + B({0}) +
      // 300-character name: long string
      B({1}) + B({4}) + "Name" + B({0x0C, 0x2C, 1, 0, 0}) + std::string(300, 'x') + B({9}) +
      "Wave.WAVE" + B({0x0A, 0, 0, 0, 0}) + B({0}) +
      // ends of the collection, the properties and the children
      B({0, 0, 0});
  ASSERT_EQ(expected.size(), 31u + 461u);
  EXPECT_EQ(KitFileBytes(kit), expected);

  std::ostringstream out;
  out << "lead-in";
  kit.SaveToStream(out);
  EXPECT_EQ(out.str(), "lead-in" + expected);
}

TEST(KitFile, RoundTripKeepsNamesFormatsAndDataInOrder) {
  TempDir dir;
  TWaveCollection kit;
  kit.Add();
  TWaveCollectionItem& a = kit.Add();
  a.SetName("Kick      [ ]");
  a.SetWave(PcmWave({100, -100, 5}));
  a.Pan = -2000;
  a.Volume = -1500;
  TWaveCollectionItem& b = kit.Add();
  b.SetName(std::string(256, 'L'));
  b.Wave().SetFormat(Wave::MakePcmFormat(8000, 8, 2));
  b.Wave().SetSize(3);  // odd size
  b.Wave().Data()[2] = 0x80;
  kit.SaveToFile(dir / "k.dxg");

  TWaveCollection loaded;
  loaded.Add().SetName("replaced");
  loaded.LoadFromFile(dir / "k.dxg");
  ASSERT_EQ(loaded.Count(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(loaded[i].Name(), kit[i].Name());
    EXPECT_EQ(FormatOf(loaded[i].Wave()), FormatOf(kit[i].Wave()));
    EXPECT_EQ(DataOf(loaded[i].Wave()), DataOf(kit[i].Wave()));
    EXPECT_EQ(loaded[i].Pan, 0);
    EXPECT_EQ(loaded[i].Volume, 0);
    EXPECT_EQ(loaded[i].Index(), i);
  }
  EXPECT_EQ(loaded.IndexOfName("kick      [ ]"), 1);
  EXPECT_EQ(loaded.IndexOfName("replaced"), -1);
}

TEST(KitFile, ReaderAcceptsWhatTheLayoutAllows) {
  // Properties in any order, any resource name, an order index before an
  // entry, trailing bytes after the object.
  std::string entries = Entry(WaveProperty(Blob()) + NameProperty("Second")) + B({2, 7}) +
                        Entry(NameProperty("Third"));
  std::string file =
      B({0xFF, 10, 0}) + "OTHER" + B({0, 0x30, 0x10, 0, 0, 0, 0}) + Object(entries) + "junk";
  TWaveCollection kit;
  EXPECT_EQ(LoadMessage(file, kit), "");
  ASSERT_EQ(kit.Count(), 2);
  EXPECT_EQ(kit[0].Name(), "Second");
  EXPECT_EQ(DataOf(kit[0].Wave()), "ab");
  EXPECT_EQ(kit[1].Wave().Size(), 0);
}

TEST(KitFile, BrokenFilesGiveTheirMessagesAndKeepTheKit) {
  std::string good = Frame(Object(Entry(NameProperty("A") + WaveProperty(Blob()))));
  struct Case {
    std::string bytes;
    std::string message;
  };
  std::string notRiff = "RIFX" + U32(4) + "WAVE";
  std::vector<Case> cases = {
      {"", "Invalid stream format"},
      {B({0xFE, 10, 0}) + good.substr(3), "Invalid stream format"},
      {B({0xFF, 11, 0}) + good.substr(3), "Invalid stream format"},
      {B({0xFF, 10, 0}) + std::string(100, 'N'), "Invalid stream format"},  // name never ends
      {Frame("TPF1" + Object("").substr(4)), "Invalid stream format"},
      {Frame(Object(Entry(Short("Colour") + B({6}) + Short("red")))), "Property does not exist"},
      {Frame("TPF0" + Short("X") + B({0}) + Short("Name") + B({6, 0})), "Property does not exist"},
      {Frame(Object(Entry(Short("Name") + B({2, 5})))), "Invalid property value"},
      {Frame(Object(Entry(Short("Wave.WAVE") + B({6, 0})))), "Invalid property value"},
      {Frame("TPF0" + Short("X") + B({0}) + Short("List") + B({1, 0})), "Invalid property value"},
      {Frame(Object(B({9}))), "Invalid property value"},
      {Frame(Object(Entry(WaveProperty(notRiff)))), "Wave is invalid"},
      {Frame(Object(Entry(WaveProperty(Riff(Chunk("fmt ", "abc")).substr(0, 22))))),
       "Stream read error"},
      // Lengths far beyond the file's end.
      {Frame(Object(Entry(Short("Wave.WAVE") + B({0x0A}) + U32(0xFFFFFFFF)))), "Stream read error"},
      {Frame(Object(Entry(Short("Name") + B({0x0C}) + U32(0x7FFFFFFF) + "x"))),
       "Stream read error"},
      // The object has no children.
      {Frame(Object("").substr(0, Object("").size() - 1) + B({1})), "Invalid stream format"},
  };
  for (const Case& c : cases) {
    TWaveCollection kit;
    ThreeEntries(kit);
    EXPECT_EQ(LoadMessage(c.bytes, kit), c.message) << testing::PrintToString(c.bytes);
    ASSERT_EQ(kit.Count(), 3);
    EXPECT_EQ(kit.IndexOfName("keep 2"), 1);
  }
  // Every shorter piece of a good file ends in a read error or a format error.
  for (size_t n = 0; n < good.size(); ++n) {
    TWaveCollection kit;
    std::string message = LoadMessage(good.substr(0, n), kit);
    EXPECT_TRUE(message == "Stream read error" || message == "Invalid stream format")
        << n << message;
  }
}

TEST(KitFile, ReadKitFileKeepsWhatWasReadBeforeTheFault) {
  std::string file = Frame(Object(Entry(NameProperty("first")) + Entry(Short("Bad") + B({6, 0}))));
  TWaveCollection kit;
  EXPECT_THROW(ReadKitFile(file, kit), EStreamError);
  ASSERT_EQ(kit.Count(), 2);
  EXPECT_EQ(kit[0].Name(), "first");
}

TEST(KitFile, MissingFileLeavesTheKitUnchanged) {
  TempDir dir;
  TWaveCollection kit;
  ThreeEntries(kit);
  try {
    kit.LoadFromFile(dir / "none.dxg");
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file " + DisplayPath(dir / "none.dxg"));
  }
  EXPECT_EQ(kit.Count(), 3);
}

TEST(KitFile, FailedSaveLeavesTheOldFileIntact) {
  TempDir dir;
  TWaveCollection kit;
  kit.Add().SetName("old");
  kit.SaveToFile(dir / "k.dxg");
  std::string before = ReadFileBytes(dir / "k.dxg");
  // The temporary beside the target can't be made.
  std::filesystem::create_directory(dir / "k.dxg.part");
  kit[0].SetName("new");
  EXPECT_THROW(kit.SaveToFile(dir / "k.dxg"), EFCreateError);
  EXPECT_EQ(ReadFileBytes(dir / "k.dxg"), before);
  EXPECT_THROW(kit.SaveToFile(dir / "no-such-dir" / "k.dxg"), EFCreateError);
}
