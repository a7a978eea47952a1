#pragma once
// File dialogs that start where the user last went: a request with a folder
// kind starts in the folder that held the last file (or folder) chosen for
// that kind, while it still exists, else in the request's own start folder.
#include <functional>
#include <string>

#include "common/Prompts.h"

// The remembered folder of a kind; empty when none, or it is gone.
std::string RememberedFolder(const std::string& kind);
void RememberFolderOf(const std::string& kind, const std::string& chosen);
// While a folder is kept (a session's), a remembered folder outside it is
// not used: dialogs start in the request's own folder. Empty: none kept.
void KeepFoldersInside(const std::string& folder);

class RememberingPrompts : public Prompts {
 public:
  explicit RememberingPrompts(std::function<Prompts&()> inner) : inner_(std::move(inner)) {}
  PromptAnswer Message(const std::string& text, const std::string& caption,
                       PromptButtons buttons) override {
    return inner_().Message(text, caption, buttons);
  }
  std::optional<std::string> OpenFile(const FileRequest& request) override;
  std::optional<std::string> SaveFile(const FileRequest& request) override;
  std::optional<std::string> ChooseFolder(const FileRequest& request) override;
  std::optional<int> Choose(const std::string& text, const std::string& caption,
                            const std::vector<std::string>& options, int preferred) override {
    return inner_().Choose(text, caption, options, preferred);
  }
  std::optional<std::string> AskText(const std::string& text, const std::string& caption,
                                     const std::string& initial) override {
    return inner_().AskText(text, caption, initial);
  }

 private:
  std::optional<std::string> Ask(
      const FileRequest& request,
      const std::function<std::optional<std::string>(const FileRequest&)>& dialog);

  std::function<Prompts&()> inner_;
};
