#pragma once
// Prompts shown as real message boxes and file dialogs.
#include "common/Prompts.h"

class QWidget;

class QtPrompts : public Prompts {
 public:
  PromptAnswer Message(const std::string& text, const std::string& caption,
                       PromptButtons buttons) override;
  std::optional<std::string> OpenFile(const FileRequest& request) override;
  std::optional<std::string> SaveFile(const FileRequest& request) override;
};

// The prompts every window uses. Tests replace them with a scripted version.
Prompts& AppPrompts();
void SetAppPrompts(Prompts* prompts);  // nullptr restores the real dialogs
