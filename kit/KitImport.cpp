#include "kit/KitImport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/Exception.h"
#include "common/Files.h"
#include "kit/BlankWave.h"
#include "kit/DecodeWatch.h"
#include "kit/KitImportNames.h"
#include "kit/KitImportSound.h"
#include "kit/KitMaker.h"
#include "kit/KitSamplePath.h"
#include "kit/KitSourceReaders.h"
#include "kit/PanningTable.h"
#include "kit/SfzReader.h"
#include "kit/SoundImport.h"
#include "kit/WaveCollection.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPanBarEnd = 2000;

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The one decode watch of an import: clipping is gathered for the report,
// the rest goes on to the watch in place.
class ImportWatch : public DecodeWatch {
 public:
  explicit ImportWatch(DecodeWatch& outer) : outer_(outer) {}
  void Begin(const fs::path& source, std::int64_t total) override { outer_.Begin(source, total); }
  bool Continue(std::int64_t done) override { return outer_.Continue(done); }
  void End() override { outer_.End(); }
  void ShorterThanHeader(const fs::path& source) override { outer_.ShorterThanHeader(source); }
  void Clipped(const fs::path&, std::int64_t samples) override { clipped += samples; }
  std::int64_t clipped = 0;

 private:
  DecodeWatch& outer_;
};

const KitSourceReaders& Readers(bool archive) {
  const KitSourceReaders& readers = InstalledKitSourceReaders();
  if (!readers.readDrumkitXml || (archive && !readers.unpackArchive))
    throw Exception("Hydrogen drumkits can't be read here: no reader is installed");
  return readers;
}

// Messages about files unpacked into our folder name the archive instead.
std::string ArchivePlaces(std::string message, const fs::path& unpacked, const fs::path& archive) {
  const std::string from = DisplayPath(unpacked) + "/";
  const std::string to = DisplayPath(archive) + ": ";
  for (std::size_t at = 0; (at = message.find(from, at)) != std::string::npos; at += to.size())
    message.replace(at, from.size(), to);
  return message;
}

// drumkit.xml at the archive's top or in its one folder.
fs::path DrumkitXmlIn(const fs::path& unpacked, const fs::path& archive) {
  if (fs::is_regular_file(unpacked / "drumkit.xml")) return unpacked / "drumkit.xml";
  std::vector<fs::path> found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(unpacked, ec))
    if (entry.is_directory() && fs::is_regular_file(entry.path() / "drumkit.xml"))
      found.push_back(entry.path() / "drumkit.xml");
  if (found.size() != 1)
    throw Exception(DisplayPath(archive) + ": " +
                    (found.empty() ? "holds no drumkit.xml" : "holds more than one drumkit"));
  return found.front();
}

ImportedKit ReadArchive(const fs::path& archive, const fs::path& workFolder) {
  const KitSourceReaders& readers = Readers(true);
  const fs::path unpacked = workFolder / "unpacked";
  fs::create_directories(unpacked);
  readers.unpackArchive(archive, unpacked);
  return readers.readDrumkitXml(DrumkitXmlIn(unpacked, archive));
}

ImportedKit ReadSource(const fs::path& source, const fs::path& workFolder) {
  std::error_code ec;
  if (fs::is_directory(source, ec)) {
    if (!fs::is_regular_file(source / "drumkit.xml", ec))
      throw Exception(DisplayPath(source) + ": this folder holds no drumkit.xml");
    return Readers(false).readDrumkitXml(source / "drumkit.xml");
  }
  if (!fs::exists(source, ec)) throw EFOpenError(DisplayPath(source));
  const std::string extension = Lower(source.extension().string());
  if (extension == ".sfz") return ReadSfz(source);
  if (extension == ".xml") return Readers(false).readDrumkitXml(source);
  if (extension == ".h2drumkit") return ReadArchive(source, workFolder);
  throw Exception(DisplayPath(source) +
                  ": not a drumkit folder, a drumkit.xml, a .h2drumkit archive or an .sfz file");
}

void CheckCount(const ImportedKit& kit, int count) {
  if (count == 0) throw Exception(SourcePlace(kit.source, 0) + "the kit has no instruments");
  if (count > MaxImportedInstruments())
    throw Exception(SourcePlace(kit.source, 0) + "the kit has " + std::to_string(count) +
                    " instruments; a kit holds at most " +
                    std::to_string(MaxImportedInstruments()));
}

// A kit without a name of its own goes by its folder's.
std::string FolderName(const fs::path& folder) {
  fs::path path = fs::absolute(folder).lexically_normal();
  if (path.filename().empty()) path = path.parent_path();
  return path.filename().string();
}

std::string GainText(double gain) {
  char text[32];
  std::snprintf(text, sizeof text, "%+.1f dB", 20.0 * std::log10(gain));
  return text;
}

KitImportOutcome ImportFrom(const fs::path& source, const fs::path& workFolder,
                            TWaveCollection& kit);

}  // namespace

int MaxImportedInstruments() {
  return KitMaker::kMaxRows;
}

KitImportOutcome ImportKitSource(const fs::path& source, const fs::path& workFolder,
                                 TWaveCollection& kit) {
  try {
    return ImportFrom(source, workFolder, kit);
  } catch (const EAbort&) {
    throw;
  } catch (const Exception& error) {
    const fs::path unpacked = workFolder / "unpacked";
    std::error_code ec;
    if (!fs::exists(unpacked, ec)) throw;
    throw Exception(ArchivePlaces(error.what(), unpacked, source));
  }
}

namespace {

KitImportOutcome ImportFrom(const fs::path& source, const fs::path& workFolder,
                            TWaveCollection& kit) {
  ImportedKit imported = ReadSource(source, workFolder);
  KitImportOutcome outcome;
  outcome.kitName = imported.name.empty() ? FolderName(imported.folder) : imported.name;
  outcome.sfz = Lower(imported.source.extension().string()) == ".sfz";
  outcome.ignoredOpcodes = imported.ignoredOpcodes;
  outcome.inputs.push_back(source);
  const auto silent = std::remove_if(imported.instruments.begin(), imported.instruments.end(),
                                     [](const ImportedInstrument& i) { return i.layers.empty(); });
  outcome.withoutSample = static_cast<int>(imported.instruments.end() - silent);
  imported.instruments.erase(silent, imported.instruments.end());
  CheckCount(imported, static_cast<int>(imported.instruments.size()));
  const std::vector<std::string> names = ImportedInstrumentNames(imported);

  ImportWatch watch(CurrentDecodeWatch());
  const DecodeWatchScope scope(watch);
  TWaveCollection built;
  built.Add().SetWave(BlankWave());
  for (std::size_t i = 0; i < imported.instruments.size(); ++i) {
    const ImportedInstrument& instrument = imported.instruments[i];
    const ImportedLayer& layer = *FullVelocityLayer(instrument);
    const fs::path file = SamplePathInKit(imported.folder, layer.sample, layer.source, layer.line);
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
      throw Exception(SourcePlace(layer.source, layer.line) + "sample not found: " + layer.sample);
    outcome.inputs.push_back(file);
    const double gain = instrument.gain * layer.gain;
    watch.clipped = 0;
    const int entry = built.Count();
    const Wave::TWave wave = ImportedSound(file, gain, DecodedWorkFile(workFolder, "kit", entry));
    TWaveCollectionItem& item = built.Add();
    item.SetName(KitMakerEntryName(names[i]));
    item.SetWave(wave);
    if (watch.clipped > 0)
      outcome.warnings.push_back(
          names[i] + ": " +
          (gain > 1.0 ? "the gain of " + GainText(gain) + " clipped " : "clipped ") +
          std::to_string(watch.clipped) + " samples");
    const double pan = std::clamp(instrument.pan + layer.pan, -1.0, 1.0);
    outcome.pans.push_back(static_cast<int>(std::lrint(pan * kPanBarEnd)));
    if (instrument.layers.size() > 1) ++outcome.layered;
  }
  outcome.instruments = built.Count() - 1;
  kit.TakeEntriesFrom(built);
  return outcome;
}

}  // namespace

std::string KitImportReport(const KitImportOutcome& outcome) {
  std::string text = "Imported " + std::to_string(outcome.instruments) +
                     (outcome.instruments == 1 ? " instrument" : " instruments") + " from " +
                     outcome.kitName;
  std::vector<std::string> notes;
  if (outcome.layered > 0)
    notes.push_back(std::to_string(outcome.layered) +
                    (outcome.layered == 1 ? " layered instrument" : " layered instruments") +
                    ": the loudest layer taken");
  if (outcome.ignoredOpcodes > 0)
    notes.push_back(std::to_string(outcome.ignoredOpcodes) +
                    (outcome.ignoredOpcodes == 1 ? " opcode ignored" : " opcodes ignored"));
  if (outcome.withoutSample > 0)
    notes.push_back(std::to_string(outcome.withoutSample) + " without a sample left out");
  for (std::size_t i = 0; i < notes.size(); ++i)
    text += (i == 0 ? " (" : ", ") + notes[i] + (i + 1 == notes.size() ? ")" : "");
  return text;
}

fs::path PanningTableBeside(const fs::path& kitFile) {
  return kitFile.parent_path() / (kitFile.stem().string() + "-Panning.dat");
}

std::vector<int> PanningTableValues(const KitImportOutcome& outcome) {
  std::vector<int> values(PanningTable::kLines, 0);
  for (std::size_t i = 0; i < outcome.pans.size() && i + 1 < values.size(); ++i)
    values[i + 1] = outcome.pans[i];
  return values;
}
