#include "common/Files.h"

#include <cstring>
#include <fstream>
#include <system_error>

#include "common/Exception.h"
#include "common/PrivateFolder.h"
#include "common/SafeReplace.h"
#include "common/Utf8.h"

namespace fs = std::filesystem;

std::string DisplayPath(const fs::path& path) {
  // A name read from a broken file may hold any bytes.
  return EscapedText(path.string());
}

std::string ReadFileBytes(const fs::path& path) {
  std::error_code ec;
  // Only plain files: a folder or a device such as /dev/zero is no document.
  if (!fs::is_regular_file(path, ec)) throw EFOpenError(DisplayPath(path));
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EFOpenError(DisplayPath(path));
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw EReadError();
  return bytes;
}

void WriteFileAtomically(const fs::path& path, const std::string& bytes) {
  const PartFile part(path);
  {
    std::ofstream out(part.Path(), std::ios::binary | std::ios::trunc);
    if (!out) throw EFCreateError(DisplayPath(path));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw EFCreateError(DisplayPath(path));
  }
  part.Commit();
}

void WriteWorkFile(const fs::path& path, const std::string& bytes) {
  // The program's own file: replaced whatever its mode, as it always was.
  fs::path part = path;
  part += ".part";
  std::error_code error;
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (out) fs::rename(part, path, error);
    if (!out || error) {
      fs::remove(part, error);
      throw EFCreateError(DisplayPath(path));
    }
  }
}

PartFile::PartFile(const fs::path& target, const std::string& suffix)
    : target_(target), path_(ReplacedFile(target)) {
  CheckReplaceable(target);
  path_ += suffix;
  ListAsWorkInProgress(path_);
}

void PartFile::Commit() const {
  CommitPart(path_, target_);
}

PartFile::~PartFile() {
  UnlistAsWorkInProgress(path_);
  std::error_code ignored;
  fs::remove(path_, ignored);
}

Lines ReadTextLines(const fs::path& path) {
  return SplitLines(ReadFileBytes(path));
}

void WriteTextLines(const fs::path& path, const Lines& lines) {
  WriteFileAtomically(path, JoinLinesCrlf(lines));
}

std::string FileNameFromLatin1(const std::string& latin1) {
  std::string safe = latin1;
  for (char& c : safe) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || (byte >= 0x7F && byte <= 0x9F) || std::strchr("/\\:*?\"<>|", c)) c = '_';
  }
  return safe.empty() ? "_" : Latin1ToUtf8(safe);
}

std::string FileNameFromFileName(const std::string& name, std::size_t maxBytes) {
  std::string safe = name;
  if (safe.size() > maxBytes) {
    std::size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(safe[cut]) & 0xC0) == 0x80) --cut;
    safe.resize(cut);
  }
  for (char& c : safe) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || std::strchr("/\\:*?\"<>|", c)) c = '_';
  }
  return safe;
}
