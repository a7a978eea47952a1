#pragma once
// File > Open Recent: the songs last opened or saved, newest first, each
// once, at most kRecentSongs of them.
#include <cstddef>
#include <string>
#include <vector>

inline constexpr std::size_t kRecentSongs = 10;

// The list with path at its head: an earlier mention of it goes, and the
// oldest beyond kRecentSongs fall off. Empty paths are left out.
std::vector<std::string> WithRecentSong(std::vector<std::string> recent, const std::string& path);
