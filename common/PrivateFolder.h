#pragma once
// A folder of one's own for work files: made with a name nobody can guess
// (mkdtemp) inside a parent folder, removed with everything in it when it
// goes. The command line works in one under the home's temp folder, so the
// windows' work files there are never touched. Live folders are listed, so
// that a signal ending the program can remove them too.
#include <filesystem>
#include <string>
#include <vector>

class PrivateFolder {
 public:
  // Makes parent when missing; EFCreateError when the folder can't be made.
  PrivateFolder(const std::filesystem::path& parent, const std::string& prefix);
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Work in progress that an end without destructors (a signal) removes:
// private folders and part files are listed while they live.
void ListAsWorkInProgress(const std::filesystem::path& path);
void UnlistAsWorkInProgress(const std::filesystem::path& path);
// Removes everything listed.
void RemoveWorkInProgress();
