// Preloaded into the real program: logs every fsync (the path of the file
// or folder flushed) and every rename (the file renamed and the name it
// gets) to $KORVANTO_SYNC_LOG, in the order they happen, then does what was
// asked.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

void LogLine(const char* what, const char* a, const char* b) {
  const char* log = std::getenv("KORVANTO_SYNC_LOG");
  if (!log) return;
  const int fd = ::open(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  ::dprintf(fd, "%s %s %s\n", what, a, b);
  ::close(fd);
}

template <typename Function>
Function Real(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int fsync(int fd) {
  char link[64], path[PATH_MAX];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t length = ::readlink(link, path, sizeof path - 1);
  path[length > 0 ? length : 0] = '\0';
  LogLine("fsync", path, "-");
  return Real<int (*)(int)>("fsync")(fd);
}

extern "C" int rename(const char* from, const char* to) {
  char fromPath[PATH_MAX], toPath[PATH_MAX];
  const bool known = ::realpath(from, fromPath) != nullptr;
  const int result = Real<int (*)(const char*, const char*)>("rename")(from, to);
  LogLine("rename", known ? fromPath : from, ::realpath(to, toPath) ? toPath : to);
  return result;
}
