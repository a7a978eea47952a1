#include "app/HomeFolder.h"

#include "common/Exception.h"
#include "common/Files.h"
#include "common/Text.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kKitFile = "power.dxg";

void MakeFolder(const fs::path& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder, ec)) throw EFCreateError(DisplayPath(folder));
}

// Copies the files of from that to lacks, folders included; nothing is replaced.
void CopyAbsent(const fs::path& from, const fs::path& to) {
  for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
    const fs::path target = to / entry.path().filename();
    std::error_code ec;
    if (entry.is_directory(ec)) {
      MakeFolder(target);
      CopyAbsent(entry.path(), target);
    } else if (!fs::exists(fs::symlink_status(target, ec))) {
      fs::copy_file(entry.path(), target, fs::copy_options::skip_existing, ec);
      if (ec) throw EFCreateError(DisplayPath(target));
    }
  }
}

}  // namespace

bool IsSongArgument(const std::string& argument) {
  return SameTextIgnoringCase(fs::path(argument).extension().string(), ".sng");
}

fs::path UserDataFolder(const HomePlaces& places) {
  const fs::path xdg = places.xdgDataHome;
  if (!xdg.empty() && xdg.is_absolute()) return xdg / "korvanto";
  return fs::path(places.userHome) / ".local" / "share" / "korvanto";
}

HomeChoice ChooseHome(const HomePlaces& places, const std::vector<std::string>& arguments) {
  std::error_code ec;
  if (fs::is_regular_file(places.current / kKitFile, ec)) return {places.current, false};
  // A song saved elsewhere keeps its patterns in the home it was made in: a
  // folder without the kit is never made a home.
  for (const std::string& argument : arguments) {
    if (!IsSongArgument(argument)) continue;
    const fs::path folder = (places.current / argument).lexically_normal().parent_path();
    if (fs::is_regular_file(folder / kKitFile, ec)) return {folder, false};
    break;
  }
  return {UserDataFolder(places), true};
}

bool FillHome(const fs::path& home, const fs::path& shared) {
  MakeFolder(home);
  std::error_code ec;
  const bool fill =
      !fs::exists(home / kKitFile, ec) && !shared.empty() && fs::is_directory(shared, ec);
  if (fill) CopyAbsent(shared, home);
  MakeFolder(home / "temp");
  return fill;
}

fs::path SharedContentFolder(const fs::path& programFolder, const fs::path& relativeFromProgram) {
  std::error_code ec;
  for (const fs::path& candidate :
       {programFolder / relativeFromProgram, programFolder / "share" / "korvanto"})
    if (fs::is_directory(candidate, ec)) return candidate.lexically_normal();
  return {};
}
