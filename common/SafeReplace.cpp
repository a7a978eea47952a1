#include "common/SafeReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <system_error>

#include "common/Files.h"

namespace fs = std::filesystem;

namespace {

// Flushes a file's or a folder's data to the disk; false when it failed.
bool Sync(const fs::path& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

}  // namespace

fs::path ReplacedFile(const fs::path& path) {
  fs::path file = path;
  std::error_code error;
  // A loop of links ends the search where it stands.
  for (int hops = 0; hops < 40 && fs::is_symlink(file, error); ++hops) {
    const fs::path target = fs::read_symlink(file, error);
    if (error) break;
    file = target.is_absolute() ? target : file.parent_path() / target;
  }
  return file;
}

void CheckReplaceable(const fs::path& path) {
  const fs::path file = ReplacedFile(path);
  struct stat status {};
  if (::stat(file.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return;
  // A file nobody may write was made so on purpose: even the superuser,
  // whom access() lets through, keeps it.
  if ((status.st_mode & 0222) == 0 || ::access(file.c_str(), W_OK) != 0)
    throw EReadOnlyFile(DisplayPath(path));
}

void CommitPart(const fs::path& part, const fs::path& target) {
  const fs::path file = ReplacedFile(target);
  CheckReplaceable(target);
  struct stat old {};
  if (::stat(file.c_str(), &old) == 0 && ::chmod(part.c_str(), old.st_mode & 07777) != 0)
    throw EFCreateError(DisplayPath(target));
  if (!Sync(part, O_RDONLY)) throw EFCreateError(DisplayPath(target));
  std::error_code error;
  fs::rename(part, file, error);
  if (error) throw EFCreateError(DisplayPath(target));
  // The file is in place now; a file system that can't flush a folder
  // keeps it all the same.
  Sync(file.parent_path().empty() ? fs::path(".") : file.parent_path(), O_RDONLY | O_DIRECTORY);
}
