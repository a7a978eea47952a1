#include "common/RememberedFolders.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "common/AppSettings.h"

namespace fs = std::filesystem;

namespace {
QString Key(const std::string& kind) {
  return "folders/" + QString::fromStdString(kind);
}

fs::path& KeptFolder() {
  static fs::path kept;
  return kept;
}

bool Inside(const fs::path& folder, const fs::path& outer) {
  std::error_code error;
  const fs::path inner = fs::weakly_canonical(folder, error);
  const fs::path whole = fs::weakly_canonical(outer, error);
  const auto [end, _] = std::mismatch(whole.begin(), whole.end(), inner.begin(), inner.end());
  return end == whole.end();
}
}  // namespace

void KeepFoldersInside(const std::string& folder) {
  KeptFolder() = folder;
}

std::string RememberedFolder(const std::string& kind) {
  const std::string folder = AppSettings().value(Key(kind)).toString().toStdString();
  std::error_code error;
  if (folder.empty() || !fs::is_directory(folder, error)) return "";
  if (!KeptFolder().empty() && !Inside(folder, KeptFolder())) return "";
  return folder;
}

void RememberFolderOf(const std::string& kind, const std::string& chosen) {
  std::error_code error;
  const fs::path whole = fs::absolute(chosen, error);
  if (error || !whole.has_parent_path()) return;
  AppSettings().setValue(Key(kind), QString::fromStdString(whole.parent_path().string()));
}

std::optional<std::string> RememberingPrompts::Ask(
    const FileRequest& request,
    const std::function<std::optional<std::string>(const FileRequest&)>& dialog) {
  if (request.folderKind.empty()) return dialog(request);
  FileRequest remembered = request;
  if (const std::string folder = RememberedFolder(request.folderKind); !folder.empty())
    remembered.startDir = folder;
  const auto chosen = dialog(remembered);
  if (chosen && !chosen->empty()) RememberFolderOf(request.folderKind, *chosen);
  return chosen;
}

std::optional<std::string> RememberingPrompts::OpenFile(const FileRequest& request) {
  return Ask(request, [this](const FileRequest& r) { return inner_().OpenFile(r); });
}

std::optional<std::string> RememberingPrompts::SaveFile(const FileRequest& request) {
  return Ask(request, [this](const FileRequest& r) { return inner_().SaveFile(r); });
}

std::optional<std::string> RememberingPrompts::ChooseFolder(const FileRequest& request) {
  return Ask(request, [this](const FileRequest& r) { return inner_().ChooseFolder(r); });
}
