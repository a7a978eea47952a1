#pragma once
// The running program inside a session: the manager's save saves the work
// into the session's folder, its hide and show hide and show the windows,
// and the program tells it of unsaved work and of windows the user hides
// (the main window's close button hides it while a manager runs the program).
// Requests reach the windows as queued calls on the UI thread.
#include <QObject>
#include <QPointer>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/NsmChannel.h"

class ProgramWindows;
class QWidget;

class NsmSession : public QObject {
 public:
  // UI thread. The open is answered once the windows show the session.
  NsmSession(NsmChannel& link, ProgramWindows& windows, std::filesystem::path home);
  ~NsmSession() override;
  NsmSession(const NsmSession&) = delete;
  NsmSession& operator=(const NsmSession&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Handle(const NsmRequest& request);
  void Save();
  void HideWindows();
  void ShowWindows();

  NsmChannel& link_;
  ProgramWindows& windows_;
  std::filesystem::path home_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  // The other windows that were open when the manager hid them.
  std::vector<QPointer<QWidget>> hidden_;
};
