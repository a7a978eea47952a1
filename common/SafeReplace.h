#pragma once
// Replacing a file with a complete new one: the new content is written to a
// part file beside the file it replaces and renamed over it. The file
// replaced is the one a symbolic link leads to (the link stays a link), it
// keeps its permissions, a read-only one is refused, and the data and the
// rename reach the disk before the save counts as done.
#include <filesystem>
#include <string>

#include "common/Exception.h"

// "Cannot replace the read-only file %s"
class EReadOnlyFile : public EStreamError {
 public:
  explicit EReadOnlyFile(const std::string& path)
      : EStreamError("Cannot replace the read-only file " + path) {}
};

// The file a save to path replaces: the end of its chain of symbolic links
// (a link's relative target taken from the link's folder), or path itself.
std::filesystem::path ReplacedFile(const std::filesystem::path& path);

// EReadOnlyFile when the file a save to path replaces exists and this
// program may not write it.
void CheckReplaceable(const std::filesystem::path& path);

// Moves a complete part file over target's replaced file: the part takes
// the old file's permissions, is flushed to the disk, renamed, and the
// folder is flushed so that the rename survives a power cut. EFCreateError
// naming target when it fails; the part file is then left for its owner.
void CommitPart(const std::filesystem::path& part, const std::filesystem::path& target);
