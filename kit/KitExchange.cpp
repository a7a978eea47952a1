#include "kit/KitExchange.h"

#include <algorithm>

#include "common/Exception.h"
#include "common/Files.h"
#include "common/Text.h"
#include "common/Utf8.h"
#include "kit/BlankWave.h"
#include "kit/InstrumentTable.h"
#include "kit/KitMaker.h"
#include "kit/SoundImport.h"
#include "kit/WaveCollection.h"

namespace fs = std::filesystem;

namespace {

// "01 Kick" gives Kick: the number an extracted file starts with goes.
std::string NameFromFile(const fs::path& file) {
  std::string stem = WithoutControlCharacters(Utf8ToLatin1(file.stem().string()));
  const auto digits = stem.find_first_not_of("0123456789");
  if (digits != std::string::npos && digits > 0 && stem[digits] == ' ') stem.erase(0, digits + 1);
  if (stem.size() > KitMaker::kNameLength) stem.resize(KitMaker::kNameLength);
  return stem;
}

// The file's sound as the kit maker takes it; the error names the file.
Wave::TWave SoundOf(const fs::path& file, const fs::path& decodedWav) {
  std::error_code ec;
  Wave::TWave wave;
  if (fs::is_regular_file(file, ec) && fs::file_size(file, ec) == 0) return wave;
  try {
    wave.LoadFromFile(ImportSoundFile(file.string(), decodedWav).readable);
  } catch (const Exception& error) {
    const std::string shown = DisplayPath(file);
    if (std::string(error.what()).find(shown) != std::string::npos) throw;
    throw Exception(shown + ": " + error.what());
  }
  return wave;
}

}  // namespace

std::string ExtractedFileName(int index, int count, const std::string& entryName) {
  std::string number = std::to_string(index);
  const size_t width = std::max<size_t>(2, std::to_string(std::max(count - 1, 0)).size());
  if (number.size() < width) number.insert(0, width - number.size(), '0');
  return number + " " + FileNameFromLatin1(InstrumentName(entryName)) + ".wav";
}

std::vector<fs::path> ExtractedFiles(const TWaveCollection& kit, const fs::path& folder) {
  std::vector<fs::path> files;
  for (int i = 1; i < kit.Count(); ++i)
    files.push_back(folder / ExtractedFileName(i, kit.Count(), kit[i].Name()));
  return files;
}

std::vector<fs::path> ExtractKit(const TWaveCollection& kit, const fs::path& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder, ec)) throw EFCreateError(DisplayPath(folder));
  const std::vector<fs::path> files = ExtractedFiles(kit, folder);
  for (int i = 1; i < kit.Count(); ++i) {
    const fs::path& file = files[static_cast<std::size_t>(i - 1)];
    // An empty sound is an empty file; SaveToFile writes nothing for it.
    if (kit[i].Wave().Size() == 0 || kit[i].Wave().FormatSize() == 0)
      WriteFileAtomically(file, "");
    else
      kit[i].Wave().SaveToFile(file);
  }
  return files;
}

KitSource ParseKitSource(const std::string& argument) {
  std::error_code ec;
  const auto equals = argument.find('=');
  if (equals == std::string::npos || fs::exists(argument, ec))
    return {NameFromFile(argument), argument};
  KitSource source{WithoutControlCharacters(Utf8ToLatin1(argument.substr(0, equals))),
                   argument.substr(equals + 1)};
  if (source.name.size() > KitMaker::kNameLength)
    throw Exception("The name '" + TerminalText(source.name) + "' is longer than " +
                    std::to_string(KitMaker::kNameLength) + " characters");
  return source;
}

std::string KitEntryNameOf(const KitSource& source) {
  return KitMakerEntryName(source.name);
}

void RefuseDuplicateNames(const std::vector<KitSource>& sources) {
  std::vector<std::string> seen, repeated;
  for (const KitSource& source : sources) {
    const std::string name = LowerLatin1(KitEntryNameOf(source));
    const bool again = std::find(seen.begin(), seen.end(), name) != seen.end();
    const bool told = std::find(repeated.begin(), repeated.end(), name) != repeated.end();
    if (again && !told) repeated.push_back(name);
    seen.push_back(name);
  }
  if (repeated.empty()) return;
  std::string shown;
  for (const KitSource& source : sources) {
    const std::string name = LowerLatin1(KitEntryNameOf(source));
    const auto at = std::find(repeated.begin(), repeated.end(), name);
    if (at == repeated.end()) continue;
    shown += (shown.empty() ? "'" : ", '") + TerminalText(source.name) + "'";
    repeated.erase(at);
  }
  throw Exception("More than one instrument would be named " + shown +
                  ": a cell names its instrument, so each name must be another (NAME=FILE)");
}

void BuildKit(const std::vector<KitSource>& sources, const fs::path& tempDir,
              TWaveCollection& kit) {
  RefuseDuplicateNames(sources);
  TWaveCollection built;
  built.Add().SetWave(BlankWave());
  for (const KitSource& source : sources) {
    const int entry = built.Count();
    const Wave::TWave wave = SoundOf(source.file, DecodedWorkFile(tempDir, "kit", entry));
    TWaveCollectionItem& item = built.Add();
    item.SetName(KitEntryNameOf(source));
    item.SetWave(wave);
  }
  kit.TakeEntriesFrom(built);
}
