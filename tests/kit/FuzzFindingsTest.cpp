// The fuzz seeds and every input a fuzzer once broke the readers with: each
// must end in success or in one of the readers' messages.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

#include "common/Exception.h"
#include "common/Files.h"
#include "kit/KitFile.h"
#include "kit/KitTestSupport.h"
#include "kit/Wave.h"
#include "kit/WaveCollection.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Inputs(const std::string& kind) {
  std::vector<fs::path> files;
  for (const char* folder : {"corpus", "regressions"}) {
    fs::path dir = SourceDir() / "fuzz" / folder / kind;
    if (!fs::is_directory(dir)) continue;
    for (const auto& entry : fs::directory_iterator(dir)) files.push_back(entry.path());
  }
  return files;
}

const std::set<std::string> Messages = {"Invalid stream format", "Property does not exist",
                                        "Invalid property value", "Stream read error",
                                        "Wave is invalid"};

}  // namespace

TEST(FuzzFindings, KitFiles) {
  std::vector<fs::path> files = Inputs("kit");
  ASSERT_FALSE(files.empty());
  for (const fs::path& file : files) {
    TWaveCollection kit;
    try {
      ReadKitFile(ReadFileBytes(file), kit);
    } catch (const Exception& e) {
      EXPECT_TRUE(Messages.count(e.Message())) << file << ": " << e.Message();
    }
  }
}

TEST(FuzzFindings, RiffImages) {
  std::vector<fs::path> files = Inputs("riff");
  ASSERT_FALSE(files.empty());
  for (const fs::path& file : files) {
    std::istringstream in(ReadFileBytes(file));
    Wave::TWave wave;
    try {
      wave.LoadFromStream(in);
    } catch (const Exception& e) {
      EXPECT_TRUE(Messages.count(e.Message())) << file << ": " << e.Message();
    }
  }
}
