// TSequence: Import › Drum kit (Hydrogen or SFZ)... A kit of another program
// becomes a kit file the user names, then the kit in use, its instruments
// panned as the source pans them.
#include "common/Files.h"
#include "common/OutputRule.h"
#include "common/PrivateFolder.h"
#include "common/QtPrompts.h"
#include "common/Utf8.h"
#include "kit/KitImport.h"
#include "kit/KitPanning.h"
#include "kit/WaveCollection.h"
#include "pattern/Sequencer.h"
#include "render/RenderPrep.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kDrumKitFilter =
    "Drum kits (drumkit.xml *.h2drumkit *.sfz)|drumkit.xml;*.h2drumkit;*.sfz"
    "|All files (*.*)|*.*";

// The file name offered for the kit: its name, as a file name can hold it.
std::string KitFileNameFor(const std::string& kitName) {
  std::string name = FileNameFromLatin1(Utf8ToLatin1(kitName));
  return (name.empty() ? std::string("Imported kit") : name) + ".dxg";
}

std::vector<std::optional<int>> ImportedPans(const KitImportOutcome& outcome) {
  std::vector<std::optional<int>> pans;
  for (int value : PanningTableValues(outcome)) pans.push_back(value);
  return pans;
}

std::string ReportWithWarnings(const KitImportOutcome& outcome) {
  std::string text = KitImportReport(outcome) + ".";
  for (const std::string& warning : outcome.warnings) text += "\n" + warning;
  return text;
}

}  // namespace

void TSequence::ImportDrumKitClick() {
  FileRequest open{"Import drum kit", kDrumKitFilter, HomeDir().string(), ""};
  open.folderKind = "drumkits";
  const auto source = AppPrompts().OpenFile(open);
  if (!source) return;
  const PrivateFolder work(HomeWorkFolder(HomeDir()), "kit-import");
  TWaveCollection incoming;
  const KitImportOutcome outcome = ImportKitSource(*source, work.Path(), incoming);
  FileRequest save{"Save imported kit",
                   "dxg|*.dxg",
                   HomeDir().string(),
                   "dxg",
                   true,
                   KitFileNameFor(outcome.kitName)};
  save.folderKind = "kits";
  const auto path = AppPrompts().SaveFile(save);
  if (!path) return;
  const fs::path pans = PanningTableBeside(*path);
  // The dialog asked before replacing a kit; what the import read is never replaced.
  const OutputRule rule{{}, outcome.inputs};
  CheckOutput(rule, *path);
  CheckOutput(rule, pans);
  if (!ReadyForKit(incoming)) return;
  incoming.SaveToFile(*path);
  PanningTable::Write(pans, PanningTableValues(outcome));
  UseKitFile(*path,
             WithPans(RememberByPosition(instruments_, DXWaveList1.Items), ImportedPans(outcome)));
  AppPrompts().Message(ReportWithWarnings(outcome), "Import drum kit", PromptButtons::Ok);
}
