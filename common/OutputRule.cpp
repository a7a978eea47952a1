#include "common/OutputRule.h"

#include <system_error>

#include "common/Files.h"
#include "common/Text.h"

namespace fs = std::filesystem;

namespace {

fs::path Resolved(const fs::path& path) {
  std::error_code error;
  const fs::path resolved = fs::weakly_canonical(fs::absolute(path, error), error);
  return error ? fs::absolute(path).lexically_normal() : resolved;
}

bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code error;
  if (fs::equivalent(a, b, error)) return true;
  return Resolved(a) == Resolved(b);
}

bool Inside(const fs::path& path, const fs::path& folder) {
  const fs::path relative = path.lexically_relative(folder);
  return !relative.empty() && *relative.begin() != "..";
}

// The files a home keeps for the program, by name.
bool IsProgramFileName(const fs::path& name) {
  const std::string extension = name.extension().string();
  for (const char* kept : {".sng", ".pat", ".dxg"})
    if (SameTextIgnoringCase(extension, kept)) return true;
  return name == "Panning.dat" || name == "Blank.wav";
}

}  // namespace

std::string OutputRefusal(const OutputRule& rule, const fs::path& output) {
  const std::string shown = DisplayPath(output);
  for (const fs::path& input : rule.inputs)
    if (SameFile(output, input))
      return "Cannot write " + shown + ": it is one of the files being read";
  if (rule.home.empty()) return "";
  const fs::path home = Resolved(rule.home);
  const fs::path resolved = Resolved(output);
  if (Inside(resolved, home / "temp"))
    return "Cannot write " + shown + ": the temp folder holds Korvanto's work files";
  // A folder is a home when it holds the kit; elsewhere (a kit built in a
  // folder of sounds) such names are the user's.
  std::error_code error;
  if (resolved.parent_path() == home && IsProgramFileName(resolved.filename()) &&
      fs::exists(resolved, error) && fs::exists(home / "power.dxg", error))
    return "Cannot write " + shown + ": Korvanto keeps it in its home folder";
  return "";
}

void CheckOutput(const OutputRule& rule, const fs::path& output) {
  const std::string refusal = OutputRefusal(rule, output);
  if (!refusal.empty()) throw EOutputRefused(refusal);
}
