#include "pattern/PatternName.h"

#include "common/Exception.h"
#include "common/Files.h"
#include "common/Text.h"

bool IsUsablePatternName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

std::string PatternNameRefusal(const std::string& name) {
  if (name.empty() || IsUsablePatternName(name)) return "";
  if (name == "." || name == "..") return "'" + name + "' can't name a pattern file";
  return "A pattern's name is its file's name: it can't hold '/' or '\\'";
}

bool IsPatternFile(const std::filesystem::path& file) {
  return file.has_stem() && SameTextIgnoringCase(file.extension().string(), ".pat");
}

std::filesystem::path PatternFilePath(const std::filesystem::path& home, const std::string& name) {
  const std::filesystem::path plain = home / (name + ".pat");
  std::error_code ec;
  if (!IsUsablePatternName(name) || std::filesystem::exists(plain, ec)) return plain;
  for (const auto& entry : std::filesystem::directory_iterator(home, ec)) {
    const std::filesystem::path& file = entry.path();
    if (IsPatternFile(file) && file.stem() == name) return file;
  }
  return plain;
}

std::filesystem::path PatternPathForReading(const std::filesystem::path& home,
                                            const std::string& name) {
  const auto path = PatternFilePath(home, name);
  if (!IsUsablePatternName(name)) throw EFOpenError(DisplayPath(path));
  return path;
}

std::filesystem::path PatternPathForWriting(const std::filesystem::path& home,
                                            const std::string& name) {
  const auto path = PatternFilePath(home, name);
  if (!IsUsablePatternName(name)) throw EFCreateError(DisplayPath(path));
  return path;
}
