#include "song/RecentSongs.h"

#include <algorithm>

std::vector<std::string> WithRecentSong(std::vector<std::string> recent, const std::string& path) {
  std::erase_if(recent, [&](const std::string& p) { return p.empty() || p == path; });
  if (!path.empty()) recent.insert(recent.begin(), path);
  if (recent.size() > kRecentSongs) recent.resize(kRecentSongs);
  return recent;
}
