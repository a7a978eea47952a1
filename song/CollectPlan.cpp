#include "song/CollectPlan.h"

#include <map>
#include <set>
#include <system_error>

#include "common/Exception.h"
#include "common/Files.h"
#include "pattern/PatternName.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSlots = 32;

bool SameBytes(const fs::path& a, const fs::path& b) {
  std::error_code error;
  if (fs::equivalent(a, b, error)) return true;
  if (fs::file_size(a, error) != fs::file_size(b, error) || error) return false;
  return ReadFileBytes(a) == ReadFileBytes(b);
}

// "kick (2).wav" for the second file named "kick.wav".
std::string Numbered(const std::string& name, int n) {
  const auto dot = name.rfind('.');
  const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
  const std::string ext = stem.size() == name.size() ? "" : name.substr(dot);
  return stem + " (" + std::to_string(n) + ")" + ext;
}

class Planner {
 public:
  explicit Planner(const CollectInput& input) : input_(input) {}

  CollectPlan Run() {
    // Names the folder's own files take; "Blank.wav" may be shared with a
    // slot holding the same silence.
    const fs::path blank = input_.home / kBlankFileName;
    Require(blank);
    taken_[kBlankFileName] = blank;
    plan_.items.push_back({kBlankFileName, blank, std::nullopt});
    Reserve(input_.songFileName);
    Reserve(kKitFileName);
    Reserve(kPanningFileName);
    Reserve("temp");
    for (const auto& entry : input_.song.entries) Reserve(entry + ".pat");

    AddKitAndPans();
    std::set<std::string> done;
    for (const auto& entry : input_.song.entries)
      if (done.insert(entry).second) AddPattern(entry);
    SongFileData song = input_.song;
    for (auto& block : song.slots)
      if (block.path != kBlankFileName) block.path = AddSample(block.path);
    plan_.items.push_back({input_.songFileName, {}, JoinLinesCrlf(SongLinesOf(song))});
    return std::move(plan_);
  }

 private:
  void Reserve(const std::string& name) { taken_.emplace(name, fs::path()); }

  bool Require(const fs::path& path) {
    std::error_code error;
    if (fs::is_regular_file(path, error)) return true;
    plan_.missing.push_back(DisplayPath(path));
    return false;
  }

  void AddKitAndPans() {
    if (input_.kitBytes)
      plan_.items.push_back({kKitFileName, {}, input_.kitBytes});
    else if (Require(input_.home / kKitFileName))
      plan_.items.push_back({kKitFileName, input_.home / kKitFileName, std::nullopt});
    const fs::path pans = input_.home / kPanningFileName;
    std::error_code error;
    if (input_.pans) {
      Lines lines;
      for (int pan : *input_.pans) lines.push_back(std::to_string(pan));
      plan_.items.push_back({kPanningFileName, {}, JoinLinesCrlf(lines)});
    } else if (fs::is_regular_file(pans, error)) {
      plan_.items.push_back({kPanningFileName, pans, std::nullopt});
    } else {
      // What the program reads when there are no pans: every one at 0.
      plan_.items.push_back({kPanningFileName, {}, JoinLinesCrlf(Lines(17, "0"))});
    }
  }

  // The pattern with the paths of its slot lines rewritten.
  void AddPattern(const std::string& name) {
    fs::path path;
    try {
      path = PatternPathForReading(input_.home, name);
    } catch (const EFOpenError&) {
      plan_.missing.push_back(DisplayPath(PatternFilePath(input_.home, name)));
      return;
    }
    if (!Require(path)) return;
    Lines lines = ReadTextLines(path);
    std::int64_t steps = 0;
    try {
      steps = ParseNumberLine(lines, 2);
    } catch (const ELineError& error) {
      throw error.InFile(path.filename().string());
    }
    const std::int64_t first = 7 * (steps + 3) + 2;
    for (int i = 0; i < kSlots && first >= 0; ++i) {
      const std::int64_t at = first + 2 * i;
      if (at >= static_cast<std::int64_t>(lines.size())) break;
      std::string& slot = lines[static_cast<std::size_t>(at)];
      if (FileNamePart(slot) != kBlankFileName) slot = AddSample(slot);
    }
    plan_.items.push_back({name + ".pat", {}, JoinLinesCrlf(lines)});
  }

  // The name the sample file at path gets in the folder.
  std::string AddSample(const std::string& path) {
    const fs::path source = fs::path(path).is_absolute() ? fs::path(path) : input_.home / path;
    auto known = sources_.find(source);
    if (known != sources_.end()) return known->second;
    if (!Require(source)) return sources_[source] = path;
    const std::string own = FileNamePart(path).empty() ? "sample" : FileNamePart(path);
    std::string name = own;
    for (int n = 2;; name = Numbered(own, n++)) {
      const auto found = taken_.find(name);
      if (found == taken_.end()) {
        taken_[name] = source;
        plan_.items.push_back({name, source, std::nullopt});
        break;
      }
      if (!found->second.empty() && SameBytes(found->second, source)) break;
    }
    return sources_[source] = name;
  }

  const CollectInput& input_;
  CollectPlan plan_;
  std::map<std::string, fs::path> taken_;    // folder name → its source (empty: not a sample)
  std::map<fs::path, std::string> sources_;  // sample source → its folder name
};

}  // namespace

CollectPlan PlanCollect(const CollectInput& input) {
  return Planner(input).Run();
}

std::string MissingFilesMessage(const std::vector<std::string>& missing) {
  std::string text = "These files are missing, so nothing was collected:";
  for (const auto& path : missing) text += "\n" + path;
  return text;
}

Lines SongLinesOf(const SongFileData& song) {
  Lines lines(song.entries.begin(), song.entries.end());
  for (std::size_t n = 0; n < song.slots.size(); ++n) {
    const SongSlotBlock& block = song.slots[n];
    lines.push_back(kSlotBlockHeader + std::to_string(n + 1));
    lines.push_back(block.path);
    lines.push_back(std::to_string(block.frequency));
    if (block.pan) {
      lines.push_back(kPanMark);
      lines.push_back(std::to_string(*block.pan));
    }
  }
  return lines;
}
