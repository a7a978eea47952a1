#include "kit/KitSamplePath.h"

#include <algorithm>
#include <cctype>

#include "common/Exception.h"
#include "kit/ImportedKit.h"

namespace fs = std::filesystem;

namespace {

bool IsAbsolute(const std::string& path) {
  const bool drive =
      path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
  return path.front() == '/' || drive;
}

// Whether ".." steps climb above the path's start.
bool Climbs(const fs::path& relative) {
  int depth = 0;
  for (const fs::path& part : relative) {
    if (part == "..") {
      if (--depth < 0) return true;
    } else if (part != "." && !part.empty()) {
      ++depth;
    }
  }
  return false;
}

}  // namespace

bool LiesWithin(const fs::path& folder, const fs::path& inner) {
  std::error_code ec;
  const fs::path base = fs::weakly_canonical(folder, ec);
  if (ec) return false;
  const fs::path real = fs::weakly_canonical(inner, ec);
  if (ec) return false;
  auto b = base.begin();
  auto r = real.begin();
  for (; b != base.end(); ++b, ++r) {
    if (b->empty() && std::next(b) == base.end()) break;  // a trailing separator
    if (r == real.end() || *b != *r) return false;
  }
  return true;
}

fs::path SamplePathInKit(const fs::path& kitFolder, const std::string& written,
                         const fs::path& source, int line) {
  std::string path = written;
  std::replace(path.begin(), path.end(), '\\', '/');
  if (path.empty()) throw Exception(SourcePlace(source, line) + "no file is named");
  if (IsAbsolute(path))
    throw Exception(SourcePlace(source, line) + "'" + written +
                    "' is an absolute path; a kit's files must lie in its folder");
  const fs::path relative(path);
  if (Climbs(relative))
    throw Exception(SourcePlace(source, line) + "'" + written + "' leaves the kit's folder");
  const fs::path full = kitFolder / relative;
  if (!LiesWithin(kitFolder, full))
    throw Exception(SourcePlace(source, line) + "'" + written +
                    "' leads out of the kit's folder through a link");
  return full;
}
