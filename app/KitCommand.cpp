#include "app/KitCommand.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

#include "app/ClipReport.h"
#include "common/Exception.h"
#include "common/Files.h"
#include "common/OutputRule.h"
#include "common/PrivateFolder.h"
#include "common/Utf8.h"
#include "kit/KitExchange.h"
#include "kit/KitImport.h"
#include "kit/PanningTable.h"
#include "kit/WaveCollection.h"
#include "render/RenderPrep.h"

namespace fs = std::filesystem;

namespace {

const char* const kKitUsage =
    "Usage: korvanto kit list KIT.dxg\n"
    "       korvanto kit extract KIT.dxg DIR [--overwrite]\n"
    "       korvanto kit build KIT.dxg [NAME=]FILE...\n"
    "       korvanto kit import SOURCE OUT.dxg\n";

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

// Where a folder of the command's own for decoded sounds is made: the
// home's temp folder, or the system's outside a home.
fs::path DecodeFolderParent(const fs::path& home) {
  std::error_code ec;
  return fs::is_directory(HomeWorkFolder(home), ec) ? HomeWorkFolder(home)
                                                    : fs::temp_directory_path();
}

// One message for every file an extraction would replace.
void RefuseExisting(const std::vector<fs::path>& files) {
  std::string existing;
  std::error_code ec;
  for (const fs::path& file : files)
    if (fs::exists(fs::symlink_status(file, ec))) existing += "\n  " + DisplayPath(file);
  if (!existing.empty())
    throw Exception("These files exist already (--overwrite replaces them):" + existing);
}

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

int Extract(const fs::path& path, const fs::path& folder, bool overwrite, std::ostream& out) {
  TWaveCollection kit;
  LoadKit(path, kit);
  const std::vector<fs::path> files = ExtractedFiles(kit, folder);
  const OutputRule rule{fs::current_path(), {path}};
  CheckOutput(rule, folder);
  for (const fs::path& file : files) CheckOutput(rule, file);
  if (!overwrite) RefuseExisting(files);
  for (const fs::path& file : ExtractKit(kit, folder)) out << DisplayPath(file) << "\n";
  return 0;
}

int Build(const fs::path& path, const std::vector<std::string>& arguments, std::ostream& out,
          std::ostream& err) {
  std::vector<KitSource> sources;
  OutputRule rule{fs::current_path(), {}};
  for (const std::string& argument : arguments) {
    sources.push_back(ParseKitSource(argument));
    rule.inputs.push_back(sources.back().file);
  }
  CheckOutput(rule, path);
  ClipReport clipReport(err);
  const DecodeWatchScope watch(clipReport);
  const PrivateFolder decoded(DecodeFolderParent(rule.home), "kit-build");
  TWaveCollection kit;
  BuildKit(sources, decoded.Path(), kit);
  kit.SaveToFile(path);
  out << "Built " << DisplayPath(path) << ": " << kit.Count() - 1 << " instruments\n";
  return 0;
}

// A kit of another program as a kit file, with its pans in a panning table
// beside it. Nothing is written until the whole kit was read.
int Import(const fs::path& source, const fs::path& path, std::ostream& out, std::ostream& err) {
  const fs::path pans = PanningTableBeside(path);
  const OutputRule rule{fs::current_path(), {source}};
  CheckOutput(rule, path);
  CheckOutput(rule, pans);
  ClipReport clipReport(err);
  const DecodeWatchScope watch(clipReport);
  const PrivateFolder work(DecodeFolderParent(rule.home), "kit-import");
  TWaveCollection kit;
  const KitImportOutcome outcome = ImportKitSource(source, work.Path(), kit);
  // Nor is a file the kit named.
  const OutputRule read{rule.home, outcome.inputs};
  CheckOutput(read, path);
  CheckOutput(read, pans);
  kit.SaveToFile(path);
  PanningTable::Write(pans, PanningTableValues(outcome));
  for (const std::string& warning : outcome.warnings) err << "korvanto: " << warning << "\n";
  out << KitImportReport(outcome) << " into " << DisplayPath(path) << "\n";
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

int RunKitCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  const std::string action = words.empty() ? "" : words[0];
  std::vector<std::string> args = words;
  const auto option = std::find(args.begin(), args.end(), "--overwrite");
  const bool overwrite = action == "extract" && option != args.end();
  if (overwrite) args.erase(option);
  const bool fits =
      (action == "list" && args.size() == 2) || (action == "extract" && args.size() == 3) ||
      (action == "build" && args.size() >= 3) || (action == "import" && args.size() == 3);
  if (!fits) {
    err << kKitUsage;
    return 2;
  }
  try {
    if (action == "list") return List(args[1], out);
    if (action == "extract") return Extract(args[1], args[2], overwrite, out);
    if (action == "import") return Import(args[1], args[2], out, err);
    return Build(args[1], {args.begin() + 2, args.end()}, out, err);
  } catch (const std::exception& error) {
    err << "korvanto: " << error.what() << "\n";
    return 1;
  }
}
