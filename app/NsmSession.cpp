#include "app/NsmSession.h"

#include <QCloseEvent>

#include "app/NsmJoin.h"
#include "app/ProgramWindows.h"
#include "common/QtUiThread.h"
#include "common/RememberedFolders.h"

NsmSession::NsmSession(NsmChannel& link, ProgramWindows& windows, std::filesystem::path home)
    : link_(link), windows_(windows), home_(std::move(home)) {
  // File dialogs start in the session's folder, not where another run went.
  KeepFoldersInside(home_.string());
  windows_.sequence.installEventFilter(this);
  windows_.sequence.OnUnsavedShown = [this](bool unsaved) {
    link_.Tell([unsaved](NsmClient& client) { client.UnsavedIs(unsaved); });
  };
  const bool shown = windows_.sequence.isVisible();
  const bool unsaved = windows_.sequence.WorkUnsaved();
  link_.Tell([shown, unsaved](NsmClient& client) {
    client.GuiIs(shown);
    client.UnsavedIs(unsaved);
    client.Opened("Korvanto opened the session");
  });
  link_.SetSink([this, alive = alive_](const NsmRequest& request) {
    QtUiThread::Instance().Post([this, alive, request] {
      if (*alive) Handle(request);
    });
  });
}

NsmSession::~NsmSession() {
  *alive_ = false;
  link_.SetSink(nullptr);
  windows_.sequence.OnUnsavedShown = nullptr;
  windows_.sequence.removeEventFilter(this);
  KeepFoldersInside("");
}

void NsmSession::Handle(const NsmRequest& request) {
  switch (request.kind) {
    case NsmRequest::Kind::Save:
      return Save();
    case NsmRequest::Kind::HideGui:
      return HideWindows();
    case NsmRequest::Kind::ShowGui:
      return ShowWindows();
    case NsmRequest::Kind::Open:
    case NsmRequest::Kind::Refused:
      return;
  }
}

void NsmSession::Save() {
  try {
    const std::string kept = windows_.sequence.SaveForSession(home_ / kSessionSong);
    link_.Tell([kept](NsmClient& client) { client.Saved(kept); });
  } catch (const std::exception& error) {
    const std::string text = error.what();
    link_.Tell([text](NsmClient& client) { client.SaveFailed(text); });
  }
}

void NsmSession::HideWindows() {
  hidden_.clear();
  for (QWidget* window :
       {static_cast<QWidget*>(&windows_.sampleEditor), static_cast<QWidget*>(&windows_.kitMaker),
        static_cast<QWidget*>(&windows_.renderWindow), static_cast<QWidget*>(&windows_.options)})
    if (window->isVisible() && window->isWindow()) {
      hidden_.emplace_back(window);
      window->hide();
    }
  windows_.sequence.hide();
}

void NsmSession::ShowWindows() {
  windows_.sequence.show();
  windows_.sequence.raise();
  for (const QPointer<QWidget>& window : hidden_)
    if (window) window->show();
  hidden_.clear();
}

// The main window shown or hidden is told to the manager; its close button
// hides the windows instead of ending the program, which the manager ends.
bool NsmSession::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &windows_.sequence) {
    if (event->type() == QEvent::Close && event->spontaneous()) {
      event->ignore();
      HideWindows();
      return true;
    }
    if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) && !event->spontaneous()) {
      const bool shown = event->type() == QEvent::Show;
      link_.Tell([shown](NsmClient& client) { client.GuiIs(shown); });
    }
  }
  return QObject::eventFilter(watched, event);
}
