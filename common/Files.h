#pragma once
// Whole-file reads and safe whole-file writes.
#include <filesystem>
#include <string>

#include "common/Text.h"

// The file's bytes; EFOpenError when it can't be read.
std::string ReadFileBytes(const std::filesystem::path& path);

// Replaces the file only once the new content is complete: writes a part
// file beside it, then commits it (CommitPart). EFCreateError when that
// fails, EReadOnlyFile for a read-only file; the old file is then untouched.
void WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes);

// A file being written beside the file target replaces (the end of its
// symbolic links) as that file's name + suffix, removed when it goes unless
// it was moved into place first. EReadOnlyFile at once when the file it
// would replace is read-only.
class PartFile {
 public:
  explicit PartFile(const std::filesystem::path& target, const std::string& suffix = ".part");
  ~PartFile();
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  // Moves the complete part file over the target (CommitPart).
  void Commit() const;

 private:
  std::filesystem::path target_;
  std::filesystem::path path_;
};

// A work file the program makes afresh whenever it needs it: complete or
// not there, but not flushed to the disk, which would only slow a render,
// and replaced whatever its mode.
void WriteWorkFile(const std::filesystem::path& path, const std::string& bytes);

Lines ReadTextLines(const std::filesystem::path& path);
void WriteTextLines(const std::filesystem::path& path, const Lines& lines);

// The path as the program shows it in messages: bytes that are not UTF-8
// escaped as EscapedText does.
std::string DisplayPath(const std::filesystem::path& path);

// An instrument's Latin-1 name as part of a file name: control characters
// and those no file name may hold on one system or another become '_'.
std::string FileNameFromLatin1(const std::string& latin1);

// A file's own name (bytes as the file system gave them) as part of
// another file name: control characters and those no file name may hold on
// one system or another become '_', and a name longer than maxBytes is cut
// there, never inside a UTF-8 character.
std::string FileNameFromFileName(const std::string& name, std::size_t maxBytes);
