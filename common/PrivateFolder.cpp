#include "common/PrivateFolder.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <system_error>

#include "common/Exception.h"
#include "common/Files.h"

namespace fs = std::filesystem;

namespace {

// Never destroyed: a save made by an exit hook, after static destructors
// ran, still lists its part file.
std::mutex& LiveMutex() {
  static auto* mutex = new std::mutex;
  return *mutex;
}

std::vector<fs::path>& Live() {
  static auto* live = new std::vector<fs::path>;
  return *live;
}

}  // namespace

PrivateFolder::PrivateFolder(const fs::path& parent, const std::string& prefix) {
  std::error_code error;
  fs::create_directories(parent, error);
  std::string name = (parent / (prefix + "-XXXXXX")).string();
  if (!::mkdtemp(name.data())) throw EFCreateError(DisplayPath(parent / (prefix + "-XXXXXX")));
  path_ = name;
  ListAsWorkInProgress(path_);
}

PrivateFolder::~PrivateFolder() {
  UnlistAsWorkInProgress(path_);
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void ListAsWorkInProgress(const fs::path& path) {
  const std::lock_guard lock(LiveMutex());
  Live().push_back(path);
}

void UnlistAsWorkInProgress(const fs::path& path) {
  const std::lock_guard lock(LiveMutex());
  auto& live = Live();
  const auto at = std::find(live.begin(), live.end(), path);
  if (at != live.end()) live.erase(at);
}

void RemoveWorkInProgress() {
  const std::lock_guard lock(LiveMutex());
  for (const fs::path& folder : Live()) {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
}
