#include "pattern/PatternLibrary.h"

#include <algorithm>

#include "common/Text.h"
#include "pattern/PatternName.h"

bool LibraryOrder(const std::string& a, const std::string& b) {
  const bool aBlank = a == PatternLibrary::kBlank, bBlank = b == PatternLibrary::kBlank;
  if (aBlank || bBlank) return aBlank && !bBlank;
  const auto la = LowerLatin1(a), lb = LowerLatin1(b);
  return la != lb ? la < lb : a < b;
}

PatternLibrary::PatternLibrary() : entries_{kBlank} {}

bool PatternLibrary::Contains(const std::string& name) const {
  return IndexOf(name) >= 0;
}

int PatternLibrary::IndexOf(const std::string& name) const {
  const auto it = std::find(entries_.begin(), entries_.end(), name);
  return it == entries_.end() ? -1 : static_cast<int>(it - entries_.begin());
}

int PatternLibrary::Add(const std::string& name) {
  const auto at =
      std::upper_bound(entries_.begin() + 1, entries_.end(), name, LibraryOrder) - entries_.begin();
  entries_.insert(entries_.begin() + at, name);
  return static_cast<int>(at);
}

void PatternLibrary::Remove(const std::string& name) {
  const int at = IndexOf(name);
  if (at > 0) entries_.erase(entries_.begin() + at);
}

void PatternLibrary::LoadFromFolder(const std::filesystem::path& folder) {
  entries_ = {kBlank};
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const std::filesystem::path& file = entry.path();
    if (IsPatternFile(file)) entries_.push_back(file.stem().string());
  }
  std::sort(entries_.begin() + 1, entries_.end(), LibraryOrder);
}
