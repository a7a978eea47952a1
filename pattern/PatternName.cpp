#include "pattern/PatternName.h"

#include "common/Exception.h"
#include "common/Files.h"

bool IsUsablePatternName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

std::filesystem::path PatternFilePath(const std::filesystem::path& home, const std::string& name) {
  return home / (name + ".pat");
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
