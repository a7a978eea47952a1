#include "common/QtPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringList>

#include "common/RememberedFolders.h"

namespace {
QString FromLatin1(const std::string& s) {
  return QString::fromLatin1(s.data(), s.size());
}

// "Kit files|*.dxg|All|*" becomes "Kit files (*.dxg);;All (*)"; a
// description that shows its patterns already, "Wave (*.wav)", stays as it is.
QString QtFilter(const std::string& filter) {
  const QStringList parts = FromLatin1(filter).split('|');
  QStringList pairs;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    const QString patterns = QString(parts[i + 1]).replace(';', ' ');
    if (parts[i].endsWith(QStringLiteral("(%1)").arg(patterns)))
      pairs << parts[i];
    else
      pairs << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
  }
  return pairs.join(";;");
}

QFileDialog::Options DialogOptions(const FileRequest& request) {
  QFileDialog::Options options;
  if (!request.askBeforeOverwrite) options |= QFileDialog::DontConfirmOverwrite;
  return options;
}

Prompts* g_override = nullptr;

// A folder dialog that takes a typed folder which does not exist yet: the
// export makes it.
class FolderDialog : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;
  QString Chosen() const { return chosen_; }

 protected:
  void accept() override {
    const QStringList files = selectedFiles();
    if (files.size() == 1 && !files[0].isEmpty() && !QFileInfo::exists(files[0])) {
      chosen_ = files[0];
      QDialog::accept();
      return;
    }
    QFileDialog::accept();
  }

 private:
  QString chosen_;
};
}  // namespace

PromptAnswer QtPrompts::Message(const std::string& text, const std::string& caption,
                                PromptButtons buttons) {
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(FromLatin1(caption));
  box.setText(FromLatin1(text));
  switch (buttons) {
    case PromptButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case PromptButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case PromptButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case PromptButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Yes);
      break;
    case PromptButtons::SaveDiscardCancel:
      box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Save);
      break;
    case PromptButtons::RestoreDiscard: {
      // Escape and the close button dismiss the question: Cancel.
      QPushButton* restore = box.addButton("Restore", QMessageBox::AcceptRole);
      QPushButton* discard = box.addButton("Discard", QMessageBox::DestructiveRole);
      QPushButton* later = box.addButton(QMessageBox::Cancel);
      later->hide();
      box.setEscapeButton(later);
      box.setDefaultButton(restore);
      box.exec();
      return box.clickedButton() == restore   ? PromptAnswer::Restore
             : box.clickedButton() == discard ? PromptAnswer::Discard
                                              : PromptAnswer::Cancel;
    }
  }
  switch (box.exec()) {
    case QMessageBox::Ok:
      return PromptAnswer::Ok;
    case QMessageBox::Yes:
      return PromptAnswer::Yes;
    case QMessageBox::No:
      return PromptAnswer::No;
    case QMessageBox::Save:
      return PromptAnswer::Save;
    case QMessageBox::Discard:
      return PromptAnswer::Discard;
    default:
      return PromptAnswer::Cancel;
  }
}

std::optional<std::string> QtPrompts::OpenFile(const FileRequest& request) {
  const QString path = QFileDialog::getOpenFileName(
      QApplication::activeWindow(), FromLatin1(request.title), FromLatin1(request.startDir),
      QtFilter(request.filter), nullptr, DialogOptions(request));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::optional<std::string> QtPrompts::SaveFile(const FileRequest& request) {
  QFileDialog dialog(QApplication::activeWindow(), FromLatin1(request.title),
                     FromLatin1(request.startDir), QtFilter(request.filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOptions(DialogOptions(request));
  if (!request.defaultSuffix.empty()) dialog.setDefaultSuffix(FromLatin1(request.defaultSuffix));
  if (!request.fileName.empty()) dialog.selectFile(FromLatin1(request.fileName));
  // A name typed without an extension takes the chosen filter's ("*.*" keeps
  // the default).
  const QString defaultSuffix = FromLatin1(request.defaultSuffix);
  QObject::connect(
      &dialog, &QFileDialog::filterSelected, &dialog,
      [&dialog, defaultSuffix](const QString& filter) {
        static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
        const auto match = pattern.match(filter);
        dialog.setDefaultSuffix(match.hasMatch() ? match.captured(1).toLower() : defaultSuffix);
      });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> QtPrompts::ChooseFolder(const FileRequest& request) {
  FolderDialog dialog(QApplication::activeWindow(), FromLatin1(request.title),
                      FromLatin1(request.startDir));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  if (!request.fileName.empty()) dialog.selectFile(FromLatin1(request.fileName));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QString path = dialog.Chosen().isEmpty() && !dialog.selectedFiles().isEmpty()
                           ? dialog.selectedFiles().first()
                           : dialog.Chosen();
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::optional<int> QtPrompts::Choose(const std::string& text, const std::string& caption,
                                     const std::vector<std::string>& options, int preferred) {
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(FromLatin1(caption));
  box.setText(FromLatin1(text));
  std::vector<QPushButton*> buttons;
  for (const std::string& option : options)
    buttons.push_back(box.addButton(FromLatin1(option), QMessageBox::AcceptRole));
  QPushButton* cancel = box.addButton(QMessageBox::Cancel);
  box.setEscapeButton(cancel);
  if (preferred >= 0 && preferred < static_cast<int>(buttons.size()))
    box.setDefaultButton(buttons[static_cast<size_t>(preferred)]);
  box.exec();
  for (size_t i = 0; i < buttons.size(); ++i)
    if (box.clickedButton() == buttons[i]) return static_cast<int>(i);
  return std::nullopt;
}

std::optional<std::string> QtPrompts::AskText(const std::string& text, const std::string& caption,
                                              const std::string& initial) {
  bool ok = false;
  const QString typed =
      QInputDialog::getText(QApplication::activeWindow(), FromLatin1(caption), FromLatin1(text),
                            QLineEdit::Normal, FromLatin1(initial), &ok);
  if (!ok) return std::nullopt;
  return typed.toLatin1().toStdString();
}

Prompts& AppPrompts() {
  static QtPrompts real;
  static RememberingPrompts remembering(
      []() -> Prompts& { return g_override ? *g_override : static_cast<Prompts&>(real); });
  return remembering;
}

void SetAppPrompts(Prompts* prompts) {
  g_override = prompts;
}

void ShowErrorLater(QObject* context, const std::string& message) {
  QMetaObject::invokeMethod(
      context, [message] { AppPrompts().ShowError(message); }, Qt::QueuedConnection);
}
