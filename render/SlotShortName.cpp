#include "render/SlotShortName.h"

#include <algorithm>

#include "common/Text.h"

std::string SlotShortName(const std::string& path) {
  const std::string name = FileNamePart(path);
  if (name.size() <= 4) return {};
  return name.substr(0, std::min<size_t>(name.size() - 4, 8));
}

std::string SlotFileTitle(const std::string& path) {
  const std::string name = FileNamePart(path);
  if (name.empty() || name == "Blank.wav") return {};
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}
