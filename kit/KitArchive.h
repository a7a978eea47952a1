#pragma once
// .h2drumkit archives (tar, plain or compressed with gzip, bzip2 or xz) read
// with libarchive into a folder of ours. Members are written by us, never by
// the archive's own paths: a member whose path is absolute or climbs with
// "..", a link, a device, a member larger than kMaxArchiveMemberBytes or an
// archive unpacking to more than kMaxArchiveBytes is refused.
#include <cstdint>
#include <filesystem>

inline constexpr std::int64_t kMaxArchiveMemberBytes = std::int64_t{512} << 20;
inline constexpr std::int64_t kMaxArchiveBytes = std::int64_t{2} << 30;
inline constexpr int kMaxArchiveMembers = 20000;

// into: an empty folder. Exception naming the archive (and member).
void UnpackKitArchive(const std::filesystem::path& archive, const std::filesystem::path& into);
