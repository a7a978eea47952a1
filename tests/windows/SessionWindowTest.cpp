// The windows inside a session manager's session, through the program's
// real wiring: the manager's requests (a fake link in their place) reach the
// windows on the UI thread, and what the windows do is told back.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QLineEdit>
#include <QUndoStack>
#include <QWindow>
#include <mutex>

#include "app/NsmJoin.h"
#include "app/NsmSession.h"
#include "app/ProgramWindows.h"
#include "common/AppSettings.h"
#include "common/Files.h"
#include "pattern/StepGridView.h"
#include "support/WindowTest.h"

namespace fs = std::filesystem;

namespace {

// A link whose protocol runs here: news are applied at once, and the
// messages they make are kept for the test.
class FakeChannel : public NsmChannel {
 public:
  FakeChannel() {
    client_.Announce("korvanto", 1);
    client_.Hear({"/reply",
                  {std::string("/nsm/server/announce"), std::string("hi"), std::string("Test"),
                   std::string(":optional-gui:")}});
    client_.Hear({"/nsm/client/open", {std::string("/s/K.n"), std::string("K"), std::string("n")}});
  }
  void Tell(std::function<void(NsmClient&)> news) override {
    const std::lock_guard lock(mutex_);
    news(client_);
    for (OscMessage& m : client_.TakeOutbox()) sent_.push_back(std::move(m));
  }
  void SetSink(Sink sink) override { sink_ = std::move(sink); }

  // The manager asks; the request reaches the windows once the loop runs.
  void Request(NsmRequest::Kind kind) {
    sink_(NsmRequest{kind, {}, {}, {}, {}});
    QCoreApplication::processEvents();
  }
  // The paths sent since the last call.
  std::vector<std::string> Sent() {
    const std::lock_guard lock(mutex_);
    std::vector<std::string> paths;
    for (const OscMessage& m : sent_) paths.push_back(m.path);
    last_ = sent_;
    sent_.clear();
    return paths;
  }
  // The text of the last reply or error taken with Sent().
  std::string LastText() const {
    for (auto it = last_.rbegin(); it != last_.rend(); ++it)
      if (it->path == "/reply")
        return std::get<std::string>(it->args.back());
      else if (it->path == "/error")
        return "error: " + std::get<std::string>(it->args.back());
    return "";
  }

 private:
  std::mutex mutex_;
  NsmClient client_;
  std::vector<OscMessage> sent_, last_;
  Sink sink_;
};

using Paths = std::vector<std::string>;
const std::string kReplyOpen = "/reply", kDirty = "/nsm/client/is_dirty",
                  kClean = "/nsm/client/is_clean", kShown = "/nsm/client/gui_is_shown",
                  kHidden = "/nsm/client/gui_is_hidden";

struct SessionWindows {
  WindowTestHome home;
  ProgramWindows windows;
  FakeChannel channel;
  std::unique_ptr<NsmSession> session;
  SessionWindows() {
    windows.Show();
    session = std::make_unique<NsmSession>(channel, windows, home.path());
  }
  QPoint At(int col, int row) { return windows.sequence.StringGrid1->CellRect(col, row).center(); }
};

}  // namespace

TEST(SessionWindows, TheOpenIsAnsweredWithTheWindowsStateAndNoUnsavedWork) {
  SessionWindows s;
  EXPECT_EQ(s.channel.Sent(), (Paths{kShown, kReplyOpen, kClean}));
}

// Each edit, undo and save tells the manager whether work would be lost.
TEST(SessionWindows, EditsUndoAndSavesAreToldAsDirtyOrClean) {
  SessionWindows s;
  TSequence& sequence = s.windows.sequence;
  s.channel.Sent();
  Click(sequence.StringGrid1, s.At(2, 7));
  EXPECT_EQ(s.channel.Sent(), Paths{kDirty});
  sequence.History()->undo();
  EXPECT_EQ(s.channel.Sent(), Paths{kClean});
  sequence.History()->redo();
  EXPECT_EQ(s.channel.Sent(), Paths{kDirty});
  QTest::keyClicks(sequence.Edit2, "Beat");
  s.channel.Request(NsmRequest::Kind::Save);
  EXPECT_EQ(s.channel.Sent(), (Paths{kClean, "/reply"}));
  EXPECT_EQ(s.channel.LastText(), "Saved Session.sng and pattern Beat");
}

// The manager's save asks nothing; what it can't keep stays unsaved, and
// the answer says so. Another pattern's file is never replaced.
TEST(SessionWindows, TheManagersSaveKeepsTheSongAndTheNamedPatternInTheSession) {
  struct Case {
    std::string what, name;
    std::string answer;
    bool patternSaved, unsaved;
  };
  const std::vector<Case> cases{
      {"named", "Beat", "Saved Session.sng and pattern Beat", true, false},
      {"no name", "", "Saved Session.sng; the pattern in the grid has no name and stays unsaved",
       false, true},
      {"another pattern's name", "Other",
       "Saved Session.sng; the pattern in the grid is named as another pattern and stays unsaved",
       false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SessionWindows s;
    TSequence& sequence = s.windows.sequence;
    WriteTextLines(s.home / "Other.pat", {"not this grid's"});
    const std::string other = ReadFileBytes(s.home / "Other.pat");
    Click(sequence.StringGrid1, s.At(2, 7));
    if (!c.name.empty()) QTest::keyClicks(sequence.Edit2, QString::fromStdString(c.name));
    s.channel.Sent();
    s.channel.Request(NsmRequest::Kind::Save);
    s.channel.Sent();
    EXPECT_EQ(s.channel.LastText(), c.answer);
    EXPECT_TRUE(s.home.prompts.messages.empty()) << s.home.prompts.messages.front().text;
    ASSERT_TRUE(fs::is_regular_file(s.home / "Session.sng"));
    EXPECT_EQ(sequence.Song().SongFile(), s.home / "Session.sng");
    EXPECT_EQ(fs::exists(s.home / "Beat.pat"), c.patternSaved);
    EXPECT_EQ(ReadFileBytes(s.home / "Other.pat"), other);
    EXPECT_EQ(sequence.WorkUnsaved(), c.unsaved);
    const bool listed = ReadFileBytes(s.home / "Session.sng").find("Beat") != std::string::npos;
    EXPECT_EQ(listed, c.patternSaved) << "a saved pattern joins the play list";
  }
}

TEST(SessionWindows, ASaveThatCantBeWrittenIsTheSavesError) {
  SessionWindows s;
  fs::create_directory(s.home / "Session.sng");  // a folder where the file should go
  s.channel.Sent();
  s.channel.Request(NsmRequest::Kind::Save);
  EXPECT_EQ(s.channel.Sent(), Paths{"/error"});
  EXPECT_NE(s.channel.LastText().find("Session.sng"), std::string::npos) << s.channel.LastText();
  EXPECT_TRUE(s.home.prompts.messages.empty());
}

// Hide takes every window away, show brings back those that were open.
TEST(SessionWindows, HideAndShowTakeTheWindowsAwayAndBringThemBack) {
  SessionWindows s;
  s.windows.sampleEditor.show();
  s.channel.Sent();
  s.channel.Request(NsmRequest::Kind::HideGui);
  EXPECT_EQ(s.channel.Sent(), Paths{kHidden});
  EXPECT_FALSE(s.windows.sequence.isVisible());
  EXPECT_FALSE(s.windows.sampleEditor.isVisible());
  EXPECT_FALSE(s.windows.kitMaker.isVisible());
  s.channel.Request(NsmRequest::Kind::ShowGui);
  EXPECT_EQ(s.channel.Sent(), Paths{kShown});
  EXPECT_TRUE(s.windows.sequence.isVisible());
  EXPECT_TRUE(s.windows.sampleEditor.isVisible());
  EXPECT_FALSE(s.windows.kitMaker.isVisible()) << "it was not open";
}

// The window system's close (the title bar's button) hides the windows and
// tells the manager; the program goes on.
TEST(SessionWindows, TheCloseButtonHidesTheWindowsInsteadOfEndingTheProgram) {
  SessionWindows s;
  bool ended = false;
  s.windows.sequence.OnClosed = [&] { ended = true; };
  s.channel.Sent();
  QCloseEvent close;
  QCoreApplication::sendEvent(s.windows.sequence.windowHandle(), &close);
  EXPECT_FALSE(ended);
  EXPECT_FALSE(s.windows.sequence.isVisible());
  EXPECT_EQ(s.channel.Sent(), Paths{kHidden});
  s.channel.Request(NsmRequest::Kind::ShowGui);
  EXPECT_TRUE(s.windows.sequence.isVisible());
}

// File dialogs start in the session's folder, not in a folder another run
// remembered; a folder inside the session is remembered as usual.
TEST(SessionWindows, FileDialogsStartInTheSessionsFolder) {
  SessionWindows s;
  TempDir elsewhere;
  fs::create_directory(s.home / "songs");
  struct Case {
    std::string remembered, expected;
  };
  const std::vector<Case> cases{
      {elsewhere.path().string(), s.home.path().string()},
      {(s.home / "songs").string(), (s.home / "songs").string()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.remembered);
    AppSettings().setValue("folders/songs", QString::fromStdString(c.remembered));
    s.home.prompts.paths = {std::nullopt};
    MenuItem(s.windows.sequence, "Open Song")->trigger();
    ASSERT_FALSE(s.home.prompts.fileRequests.empty());
    EXPECT_EQ(s.home.prompts.fileRequests.back().startDir, c.expected);
  }
  s.session.reset();
  AppSettings().setValue("folders/songs", QString::fromStdString(elsewhere.path().string()));
  MenuItem(s.windows.sequence, "Open Song")->trigger();
  EXPECT_EQ(s.home.prompts.fileRequests.back().startDir, elsewhere.path().string())
      << "outside a session, as before";
}
