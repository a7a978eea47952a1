#pragma once
// Prompts for tests: records every message and dialog, answers from a script.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "common/Prompts.h"

class ScriptedPrompts : public Prompts {
 public:
  struct Shown {
    std::string text;
    std::string caption;
    PromptButtons buttons;
  };

  std::vector<Shown> messages;
  std::vector<FileRequest> fileRequests;
  std::deque<PromptAnswer> answers;              // taken first to last
  std::deque<std::optional<std::string>> paths;  // for file dialogs
  struct Choice {
    std::string text;
    std::string caption;
    std::vector<std::string> options;
  };
  std::vector<Choice> choicesAsked;
  std::deque<std::optional<int>> choices;  // taken first to last; the preferred when empty
  std::vector<Shown> textQuestions;
  std::deque<std::optional<std::string>> typed;  // taken first to last; cancelled when empty

  PromptAnswer Message(const std::string& text, const std::string& caption,
                       PromptButtons buttons) override {
    messages.push_back({text, caption, buttons});
    if (!answers.empty()) {
      const auto answer = answers.front();
      answers.pop_front();
      return answer;
    }
    switch (buttons) {
      case PromptButtons::YesNo:
      case PromptButtons::YesNoCancel:
        return PromptAnswer::No;
      case PromptButtons::SaveDiscardCancel:
        return PromptAnswer::Discard;
      case PromptButtons::RestoreDiscard:
        return PromptAnswer::Cancel;
      case PromptButtons::OkCancel:
        return PromptAnswer::Cancel;
      case PromptButtons::Ok:
        break;
    }
    return PromptAnswer::Ok;
  }
  std::optional<std::string> OpenFile(const FileRequest& request) override {
    return NextPath(request);
  }
  std::optional<std::string> SaveFile(const FileRequest& request) override {
    return NextPath(request);
  }
  std::optional<std::string> ChooseFolder(const FileRequest& request) override {
    return NextPath(request);
  }

  std::optional<int> Choose(const std::string& text, const std::string& caption,
                            const std::vector<std::string>& options, int preferred) override {
    choicesAsked.push_back({text, caption, options});
    if (choices.empty()) return preferred;
    const auto choice = choices.front();
    choices.pop_front();
    return choice;
  }

  std::optional<std::string> AskText(const std::string& text, const std::string& caption,
                                     const std::string&) override {
    textQuestions.push_back({text, caption, PromptButtons::OkCancel});
    if (typed.empty()) return std::nullopt;
    auto answer = typed.front();
    typed.pop_front();
    return answer;
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages) texts.push_back(m.text);
    return texts;
  }

 private:
  std::optional<std::string> NextPath(const FileRequest& request) {
    fileRequests.push_back(request);
    if (paths.empty()) return std::nullopt;
    auto path = paths.front();
    paths.pop_front();
    return path;
  }
};
