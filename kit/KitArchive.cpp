#include "kit/KitArchive.h"

#include <archive.h>
#include <archive_entry.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "common/Exception.h"
#include "common/Files.h"

namespace fs = std::filesystem;

namespace {

struct ArchiveCloser {
  void operator()(archive* a) const { archive_read_free(a); }
};
using ArchivePtr = std::unique_ptr<archive, ArchiveCloser>;

class Unpacking {
 public:
  Unpacking(const fs::path& archive, const fs::path& into) : path_(archive), into_(into) {}

  void Run() {
    ArchivePtr reader(archive_read_new());
    archive_read_support_filter_all(reader.get());
    archive_read_support_format_tar(reader.get());
    if (archive_read_open_filename(reader.get(), path_.c_str(), 1 << 16) != ARCHIVE_OK)
      Fail("", archive_error_string(reader.get()));
    archive_entry* entry = nullptr;
    int members = 0;
    for (;;) {
      const int status = archive_read_next_header(reader.get(), &entry);
      if (status == ARCHIVE_EOF) break;
      if (status < ARCHIVE_WARN) Fail("", archive_error_string(reader.get()));
      if (++members > kMaxArchiveMembers)
        Fail("", "more than " + std::to_string(kMaxArchiveMembers) + " members");
      Member(reader.get(), entry);
    }
  }

 private:
  [[noreturn]] void Fail(const std::string& member, const char* why) {
    Fail(member, std::string(why ? why : "can't be read"));
  }
  [[noreturn]] void Fail(const std::string& member, const std::string& why) {
    std::string text = DisplayPath(path_) + ": ";
    if (!member.empty()) text += "member '" + member + "' ";
    throw Exception(text + why);
  }

  // The member's path below into_, or a refusal.
  fs::path Target(const std::string& name) {
    if (name.empty()) Fail(name, "has no name");
    if (name.front() == '/') Fail(name, "has an absolute path");
    fs::path relative;
    for (const fs::path& part : fs::path(name)) {
      if (part == "..") Fail(name, "climbs out of the archive's folder with '..'");
      if (part == "." || part.empty()) continue;
      relative /= part;
    }
    return into_ / relative;
  }

  void Member(archive* reader, archive_entry* entry) {
    const char* raw = archive_entry_pathname(entry);
    const std::string name = raw ? raw : "";
    const fs::path target = Target(name);
    const mode_t type = archive_entry_filetype(entry);
    if (archive_entry_hardlink(entry) || type == AE_IFLNK)
      Fail(name, "is a link; a kit archive holds plain files");
    if (type == AE_IFDIR) {
      fs::create_directories(target);
      return;
    }
    if (type != AE_IFREG) Fail(name, "is not a plain file");
    if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > kMaxArchiveMemberBytes)
      Fail(name, "is " + std::to_string(archive_entry_size(entry) >> 20) +
                     " MiB: larger than a kit's file can be");
    Write(reader, name, target);
  }

  void Write(archive* reader, const std::string& name, const fs::path& target) {
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    if (!out) throw EFCreateError(DisplayPath(target));
    std::vector<char> block(1 << 16);
    std::int64_t member = 0;
    for (;;) {
      const la_ssize_t got = archive_read_data(reader, block.data(), block.size());
      if (got == 0) break;
      if (got < 0) Fail(name, archive_error_string(reader));
      member += got;
      total_ += got;
      if (member > kMaxArchiveMemberBytes) Fail(name, "is larger than a kit's file can be");
      if (total_ > kMaxArchiveBytes) Fail(name, "makes the archive larger than a kit can be");
      out.write(block.data(), got);
      if (!out) throw EFCreateError(DisplayPath(target));
    }
  }

  fs::path path_;
  fs::path into_;
  std::int64_t total_ = 0;
};

}  // namespace

void UnpackKitArchive(const fs::path& archive, const fs::path& into) {
  Unpacking(archive, into).Run();
}
