#pragma once
// Questions, notices and file dialogs. The windows show real dialogs; tests
// install a scripted version so nothing blocks.
#include <optional>
#include <string>
#include <vector>

enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel, SaveDiscardCancel, RestoreDiscard };
enum class PromptAnswer { Ok, Cancel, Yes, No, Save, Discard, Restore };

struct FileRequest {
  std::string title;
  std::string filter;  // "description|*.ext" pairs joined by '|'
  std::string startDir;
  std::string defaultSuffix;  // without the dot; empty for none
  bool askBeforeOverwrite = false;
  std::string fileName{};  // the name the dialog suggests; empty for none
  // "songs", "renders", "kits", "samples", ...: the dialog starts where the
  // last one of its kind ended; empty for a fixed start.
  std::string folderKind{};
};

class Prompts {
 public:
  virtual ~Prompts() = default;
  virtual PromptAnswer Message(const std::string& text, const std::string& caption,
                               PromptButtons buttons) = 0;
  // A path, or nothing when the user cancelled.
  virtual std::optional<std::string> OpenFile(const FileRequest& request) = 0;
  virtual std::optional<std::string> SaveFile(const FileRequest& request) = 0;
  // A folder (title and start folder of the request), or nothing when the
  // user cancelled; prompts that can't ask give nothing.
  virtual std::optional<std::string> ChooseFolder(const FileRequest& request) {
    (void)request;
    return std::nullopt;
  }

  // One of options (button captions) for the question text: its index, or
  // nothing when the user cancelled. preferred is the default button;
  // prompts that can't ask give it.
  virtual std::optional<int> Choose(const std::string& text, const std::string& caption,
                                    const std::vector<std::string>& options, int preferred) {
    (void)text;
    (void)caption;
    (void)options;
    return preferred;
  }

  // A line of text for the question, the field starting with initial: what
  // the user typed, or nothing when they cancelled; prompts that can't ask
  // give nothing.
  virtual std::optional<std::string> AskText(const std::string& text, const std::string& caption,
                                             const std::string& initial) {
    (void)text;
    (void)caption;
    (void)initial;
    return std::nullopt;
  }

  // The default error report: the error's text in a message box.
  void ShowError(const std::string& text) { Message(text, "Korvanto", PromptButtons::Ok); }
};
