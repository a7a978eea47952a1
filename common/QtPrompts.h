#pragma once
// Prompts shown as real message boxes and file dialogs.
#include <string>

#include "common/Prompts.h"

class QObject;
class QWidget;

class QtPrompts : public Prompts {
 public:
  PromptAnswer Message(const std::string& text, const std::string& caption,
                       PromptButtons buttons) override;
  std::optional<std::string> OpenFile(const FileRequest& request) override;
  std::optional<std::string> SaveFile(const FileRequest& request) override;
  std::optional<std::string> ChooseFolder(const FileRequest& request) override;
  std::optional<int> Choose(const std::string& text, const std::string& caption,
                            const std::vector<std::string>& options, int preferred) override;
  std::optional<std::string> AskText(const std::string& text, const std::string& caption,
                                     const std::string& initial) override;
};

// The prompts every window uses. Tests replace them with a scripted version.
Prompts& AppPrompts();
void SetAppPrompts(Prompts* prompts);  // nullptr restores the real dialogs

// Shows an error once the current event is done: for errors met inside a
// timer tick or a sound refill, whose worker must not wait on a message box.
// Nothing is shown once context is gone.
void ShowErrorLater(QObject* context, const std::string& message);
