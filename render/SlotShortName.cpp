#include "render/SlotShortName.h"

#include <algorithm>

#include "common/Text.h"

std::string SlotShortName(const std::string& path) {
  const std::string name = FileNamePart(path);
  if (name.size() <= 4) return {};
  return name.substr(0, std::min<size_t>(name.size() - 4, 8));
}
