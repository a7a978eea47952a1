#pragma once
// The pattern library: "<Blank>" first, then pattern names sorted without
// regard to letter case.
#include <filesystem>
#include <string>
#include <vector>

class PatternLibrary {
 public:
  static constexpr const char* kBlank = "<Blank>";

  PatternLibrary();

  const std::vector<std::string>& Entries() const { return entries_; }
  bool Contains(const std::string& name) const;
  int IndexOf(const std::string& name) const;
  // Adds a name at its sorted place; returns its index.
  int Add(const std::string& name);
  void Remove(const std::string& name);

  // "<Blank>" and every "*.pat" file of the folder, less its extension.
  void LoadFromFolder(const std::filesystem::path& folder);

 private:
  std::vector<std::string> entries_;
};

// Case-blind order of the library, "<Blank>" first.
bool LibraryOrder(const std::string& a, const std::string& b);
