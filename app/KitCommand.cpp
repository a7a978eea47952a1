#include "app/KitCommand.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ostream>

#include "app/ClipReport.h"
#include "common/Exception.h"
#include "common/Files.h"
#include "common/Utf8.h"
#include "kit/KitExchange.h"
#include "kit/WaveCollection.h"

namespace fs = std::filesystem;

namespace {

const char* const kKitUsage =
    "Usage: korvanto kit list KIT.dxg\n"
    "       korvanto kit extract KIT.dxg DIR\n"
    "       korvanto kit build KIT.dxg [NAME=]FILE...\n";

// The kit file's own errors name it; a missing file's message already does.
TWaveCollection& LoadKit(const fs::path& path, TWaveCollection& kit) {
  try {
    kit.LoadFromFile(path);
  } catch (const EFOpenError&) {
    throw;
  } catch (const Exception& error) {
    throw Exception(DisplayPath(path) + ": " + error.what());
  }
  return kit;
}

// A folder of its own for decoded sounds, gone afterwards.
class DecodeFolder {
 public:
  DecodeFolder()
      : path_(fs::temp_directory_path() / ("korvanto-kit-" + std::to_string(::getpid()))) {}
  ~DecodeFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::string Column(const std::string& text, size_t width) {
  return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

std::string WaveFigures(const Wave::TWave& wave) {
  char line[96];
  if (wave.FormatSize() == 0 || wave.SamplesPerSec() == 0) {
    std::snprintf(line, sizeof line, "%6s %5s %9s %8s", "-", "-", "-", "-");
    return line;
  }
  const double bytesPerSecond = wave.BlockAlign() > 0
                                    ? double(wave.BlockAlign()) * wave.SamplesPerSec()
                                    : double(wave.AvgBytesPerSec());
  const double seconds = bytesPerSecond > 0 ? wave.Size() / bytesPerSecond : 0.0;
  std::snprintf(line, sizeof line, "%6u %5u %9u %8.3f", unsigned(wave.SamplesPerSec()),
                unsigned(wave.BitsPerSample()), unsigned(wave.Channels()), seconds);
  return line;
}

int List(const fs::path& path, std::ostream& out) {
  TWaveCollection kit;
  out << KitListing(LoadKit(path, kit));
  return 0;
}

int Extract(const fs::path& path, const fs::path& folder, std::ostream& out) {
  TWaveCollection kit;
  for (const fs::path& file : ExtractKit(LoadKit(path, kit), folder))
    out << DisplayPath(file) << "\n";
  return 0;
}

int Build(const fs::path& path, const std::vector<std::string>& arguments, std::ostream& out,
          std::ostream& err) {
  std::vector<KitSource> sources;
  for (const std::string& argument : arguments) sources.push_back(ParseKitSource(argument));
  ClipReport clipReport(err);
  const DecodeWatchScope watch(clipReport);
  const DecodeFolder decoded;
  TWaveCollection kit;
  BuildKit(sources, decoded.path(), kit);
  kit.SaveToFile(path);
  out << "Built " << DisplayPath(path) << ": " << kit.Count() - 1 << " instruments\n";
  return 0;
}

}  // namespace

std::string KitListing(const TWaveCollection& kit) {
  size_t nameWidth = 13;
  for (int i = 0; i < kit.Count(); ++i) nameWidth = std::max(nameWidth, kit[i].Name().size());
  std::string text = "Entry  " + Column("Name", nameWidth) + "   Rate  Bits  Channels  Seconds\n";
  for (int i = 0; i < kit.Count(); ++i) {
    char index[16];
    std::snprintf(index, sizeof index, "%5d  ", i);
    text += index + TerminalText(Column(kit[i].Name(), nameWidth)) + " " +
            WaveFigures(kit[i].Wave()) + "\n";
  }
  return text;
}

int RunKitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const std::string action = args.empty() ? "" : args[0];
  const bool fits = (action == "list" && args.size() == 2) ||
                    (action == "extract" && args.size() == 3) ||
                    (action == "build" && args.size() >= 3);
  if (!fits) {
    err << kKitUsage;
    return 2;
  }
  try {
    if (action == "list") return List(args[1], out);
    if (action == "extract") return Extract(args[1], args[2], out);
    return Build(args[1], {args.begin() + 2, args.end()}, out, err);
  } catch (const std::exception& error) {
    err << "korvanto: " << error.what() << "\n";
    return 1;
  }
}
