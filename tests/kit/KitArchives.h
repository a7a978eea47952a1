#pragma once
// .h2drumkit archives made by the tests with libarchive, and one written by
// hand whose header declares a member larger than a kit may hold.
#include <archive.h>
#include <archive_entry.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/kit/ImportKitFiles.h"

namespace import_kits {

struct ArchiveMember {
  std::string name;
  std::string bytes;
  std::string linkTo{};  // a symbolic link to it instead of a file
};

enum class Packing { Plain, Gzip, Bzip2 };

// A tar archive, gzip-compressed unless told otherwise.
inline void WriteArchive(const std::filesystem::path& path,
                         const std::vector<ArchiveMember>& members,
                         Packing packing = Packing::Gzip) {
  archive* out = archive_write_new();
  archive_write_set_format_pax_restricted(out);
  if (packing == Packing::Gzip) archive_write_add_filter_gzip(out);
  if (packing == Packing::Bzip2 && archive_write_add_filter_bzip2(out) != ARCHIVE_OK)
    throw std::runtime_error("libarchive can't write bzip2 here");
  if (archive_write_open_filename(out, path.c_str()) != ARCHIVE_OK)
    throw std::runtime_error("can't write " + path.string());
  for (const ArchiveMember& member : members) {
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, member.name.c_str());
    if (member.linkTo.empty()) {
      archive_entry_set_filetype(entry, AE_IFREG);
      archive_entry_set_size(entry, static_cast<la_int64_t>(member.bytes.size()));
    } else {
      archive_entry_set_filetype(entry, AE_IFLNK);
      archive_entry_set_symlink(entry, member.linkTo.c_str());
    }
    archive_entry_set_perm(entry, 0644);
    archive_write_header(out, entry);
    if (!member.bytes.empty()) archive_write_data(out, member.bytes.data(), member.bytes.size());
    archive_entry_free(entry);
  }
  archive_write_close(out);
  archive_write_free(out);
}

// Every file below folder as a member named folderName/relative path.
inline std::vector<ArchiveMember> MembersOf(const std::filesystem::path& folder,
                                            const std::string& folderName) {
  std::vector<ArchiveMember> members;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    if (entry.is_regular_file())
      members.push_back({folderName + "/" + entry.path().lexically_relative(folder).string(),
                         ReadText(entry.path())});
  return members;
}

// A ustar header for a member of the given size, and nothing after it.
inline void WriteTarDeclaring(const std::filesystem::path& path, const std::string& name,
                              unsigned long long size) {
  std::string header(512, '\0');
  name.copy(header.data(), std::min<std::size_t>(name.size(), 99));
  std::snprintf(header.data() + 100, 8, "%07o", 0644);
  std::snprintf(header.data() + 108, 8, "%07o", 0);
  std::snprintf(header.data() + 116, 8, "%07o", 0);
  std::snprintf(header.data() + 124, 12, "%011llo", size);
  std::snprintf(header.data() + 136, 12, "%011o", 0);
  header[156] = '0';
  std::string("ustar").copy(header.data() + 257, 5);
  header[263] = '0';
  header[264] = '0';
  std::fill(header.begin() + 148, header.begin() + 156, ' ');
  unsigned sum = 0;
  for (char c : header) sum += static_cast<unsigned char>(c);
  std::snprintf(header.data() + 148, 8, "%06o", sum);
  header[155] = ' ';
  std::ofstream(path, std::ios::binary) << header << std::string(4096, '\0');
}

}  // namespace import_kits
