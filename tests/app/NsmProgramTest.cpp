// The real program started by a session manager: a small manager in the test
// (an OSC server, liblo) speaks the protocol to it as NSM's does.
#include <gtest/gtest.h>
#include <lo/lo.h>

#include <csignal>
#include <variant>

#include "common/Files.h"
#include "support/RealProgram.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const fs::path kProgram = fs::path(KORVANTO_TEST_BUILD_DIR) / "korvanto";

using Value = std::variant<int32_t, float, std::string>;
struct Heard {
  std::string path;
  std::vector<Value> args;
  std::string Text(std::size_t i) const {
    return i < args.size() && std::holds_alternative<std::string>(args[i])
               ? std::get<std::string>(args[i])
               : "";
  }
  int32_t Int(std::size_t i) const {
    return i < args.size() && std::holds_alternative<int32_t>(args[i]) ? std::get<int32_t>(args[i])
                                                                       : 0;
  }
};

// A session manager on a port of its own: it hears what the program sends
// and answers as the test says.
class FakeManager {
 public:
  FakeManager() {
    server_ = lo_server_new_with_proto(nullptr, LO_UDP, [](int, const char*, const char*) {});
    lo_server_add_method(server_, nullptr, nullptr, &FakeManager::OnMessage, this);
  }
  ~FakeManager() {
    if (client_) lo_address_free(client_);
    lo_server_free(server_);
  }
  std::string Url() const {
    char* url = lo_server_get_url(server_);
    std::string text = url;
    std::free(url);
    // The program is reached on this machine, whatever its name.
    const auto host = text.find("://") + 3;
    return text.substr(0, host) + "127.0.0.1" + text.substr(text.find(':', host));
  }
  // The first message on path not yet taken; nothing after timeout.
  std::optional<Heard> Await(const std::string& path, std::chrono::milliseconds timeout = 15s) {
    for (auto until = std::chrono::steady_clock::now() + timeout;;) {
      for (auto it = heard_.begin(); it != heard_.end(); ++it)
        if (it->path == path) {
          Heard found = *it;
          heard_.erase(it);
          return found;
        }
      if (std::chrono::steady_clock::now() > until) return std::nullopt;
      lo_server_recv_noblock(server_, 20);
    }
  }
  // The reply or error to path.
  std::optional<Heard> AwaitAnswer(const std::string& to, std::chrono::milliseconds t = 15s) {
    for (auto until = std::chrono::steady_clock::now() + t;
         std::chrono::steady_clock::now() < until;) {
      for (auto it = heard_.begin(); it != heard_.end(); ++it)
        if ((it->path == "/reply" || it->path == "/error") && it->Text(0) == to) {
          Heard found = *it;
          heard_.erase(it);
          return found;
        }
      lo_server_recv_noblock(server_, 20);
    }
    return std::nullopt;
  }
  void Send(const std::string& path, const std::vector<std::string>& strings = {}) {
    lo_message message = lo_message_new();
    for (const std::string& s : strings) lo_message_add_string(message, s.c_str());
    lo_send_message_from(client_, server_, path.c_str(), message);
    lo_message_free(message);
  }
  // What was heard and not taken, for failure reports.
  std::string Rest() const {
    std::string text;
    for (const Heard& h : heard_) text += h.path + " " + h.Text(0) + "\n";
    return text;
  }
  void RefuseAnnounce(const std::string& reason) {
    lo_message message = lo_message_new();
    lo_message_add_string(message, "/nsm/server/announce");
    lo_message_add_int32(message, -2);
    lo_message_add_string(message, reason.c_str());
    lo_send_message_from(client_, server_, "/error", message);
    lo_message_free(message);
  }
  void AcceptAnnounce() {
    lo_message message = lo_message_new();
    for (const char* s : {"/nsm/server/announce", "Welcome", "Fake manager", ":optional-gui:"})
      lo_message_add_string(message, s);
    lo_send_message_from(client_, server_, "/reply", message);
    lo_message_free(message);
  }

 private:
  static int OnMessage(const char* path, const char* types, lo_arg** argv, int argc,
                       lo_message message, void* self) {
    auto* manager = static_cast<FakeManager*>(self);
    Heard heard{path, {}};
    for (int i = 0; i < argc; ++i) {
      if (types[i] == LO_INT32) heard.args.emplace_back(argv[i]->i);
      if (types[i] == LO_FLOAT) heard.args.emplace_back(argv[i]->f);
      if (types[i] == LO_STRING) heard.args.emplace_back(std::string(&argv[i]->s));
    }
    if (heard.path == "/nsm/server/announce" && !manager->client_) {
      char* url = lo_address_get_url(lo_message_get_source(message));
      manager->client_ = lo_address_new_from_url(url);
      std::free(url);
    }
    manager->heard_.push_back(std::move(heard));
    return 0;
  }

  lo_server server_ = nullptr;
  lo_address client_ = nullptr;
  std::vector<Heard> heard_;
};

class NsmProgram : public ::testing::Test {
 protected:
  // The program as a session manager starts it: no arguments, NSM_URL set.
  std::unique_ptr<ChildProcess> Start(const std::string& url, const std::vector<std::string>& env) {
    std::vector<std::string> set{
        "NSM_URL=" + url, "SDL_AUDIODRIVER=dummy", "XDG_CONFIG_HOME=" + (root_ / "config").string(),
        "XDG_DATA_HOME=" + (root_ / "data").string(), "HOME=" + root_.path().string()};
    set.insert(set.end(), env.begin(), env.end());
    auto program = std::make_unique<ChildProcess>(std::vector<std::string>{kProgram.string()}, set,
                                                  root_ / "run.out", root_ / "run.err");
    EXPECT_TRUE(program->Started());
    return program;
  }
  std::unique_ptr<ChildProcess> StartOffscreen(const std::string& url) {
    return Start(url, {"QT_QPA_PLATFORM=offscreen"});
  }
  std::string Printed() { return ReadFileBytes(root_ / "run.err"); }
  // Waits until the program printed text.
  bool PrintsWithin(const std::string& text, std::chrono::milliseconds timeout) {
    for (auto until = std::chrono::steady_clock::now() + timeout;
         std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(50ms))
      if (Printed().find(text) != std::string::npos) return true;
    return false;
  }
  static bool ExitedWith(std::optional<int> status, int code) {
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == code;
  }
  // The session's folder for this program, as NSM names it.
  fs::path Instance() const { return root_ / "session" / "Korvanto.nTEST"; }
  void Open(FakeManager& manager, const fs::path& path) {
    manager.Send("/nsm/client/open", {path.string(), "Korvanto", "nTEST"});
  }

  TempDir root_;
};

}  // namespace

// The announce names the program; the open makes the session's folder its
// home (the kit in it, the lock taken there) and is answered; the windows'
// state is told. Without a display of its own, offscreen.
TEST_F(NsmProgram, AnnouncesItselfAndOpensItsHomeInTheSessionFolder) {
  FakeManager manager;
  auto program = StartOffscreen(manager.Url());
  const auto announce = manager.Await("/nsm/server/announce");
  ASSERT_TRUE(announce) << Printed();
  EXPECT_EQ(announce->Text(0), "Korvanto");
  EXPECT_EQ(announce->Text(1), ":dirty:optional-gui:");
  EXPECT_EQ(announce->Text(2), "korvanto");
  EXPECT_EQ(announce->Int(3), 1);
  EXPECT_GE(announce->Int(4), 0);
  EXPECT_GT(announce->Int(5), 0);

  manager.AcceptAnnounce();
  Open(manager, Instance());
  const auto answer = manager.AwaitAnswer("/nsm/client/open", 30s);
  ASSERT_TRUE(answer) << Printed() << manager.Rest();
  EXPECT_EQ(answer->path, "/reply") << answer->Text(2);
  EXPECT_TRUE(fs::is_regular_file(Instance() / "power.dxg"));
  EXPECT_TRUE(fs::exists(Instance() / "temp" / ".lock"));
  EXPECT_FALSE(fs::exists(root_ / "data" / "korvanto")) << "the user's home stays untouched";
  EXPECT_TRUE(manager.Await("/nsm/client/gui_is_shown"));
  EXPECT_TRUE(manager.Await("/nsm/client/is_clean"));

  // The manager's save writes the session's song into the folder.
  manager.Send("/nsm/client/save");
  const auto saved = manager.AwaitAnswer("/nsm/client/save");
  ASSERT_TRUE(saved) << Printed();
  EXPECT_EQ(saved->path, "/reply") << saved->Text(2);
  EXPECT_TRUE(fs::is_regular_file(Instance() / "Session.sng"));

  manager.Send("/nsm/client/hide_optional_gui");
  EXPECT_TRUE(manager.Await("/nsm/client/gui_is_hidden"));
  manager.Send("/nsm/client/show_optional_gui");
  EXPECT_TRUE(manager.Await("/nsm/client/gui_is_shown"));

  // The manager ends its clients with SIGTERM.
  program->Signal(SIGTERM);
  EXPECT_TRUE(ExitedWith(program->WaitFor(10s), 0)) << Printed();
}

// Bad input: each is told on the terminal, and nothing hangs. A manager
// that refuses, is no address or never answers: the program starts as
// without one, in the user's home.
TEST_F(NsmProgram, WithoutAManagerToTalkToItSaysSoAndStartsAsUsual) {
  struct Case {
    const char* what;
    std::string url;  // empty: the fake manager's
    bool refuse;
    std::string told;
    std::chrono::seconds within;
  };
  const std::vector<Case> cases{
      {"not an address", "nonsense", false,
       "korvanto: NSM_URL: 'nonsense' is not a session manager's address", 10s},
      {"refused", "", true, "korvanto: the session manager refused Korvanto: Not today", 10s},
      {"silent", "", false, "did not open a session within 10 s", 25s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeManager manager;
    auto program = StartOffscreen(c.url.empty() ? manager.Url() : c.url);
    if (c.url.empty()) {
      ASSERT_TRUE(manager.Await("/nsm/server/announce")) << Printed();
    }
    if (c.refuse) {
      manager.Send("/error", {});  // not about the announce: ignored
      manager.RefuseAnnounce("Not today");
    }
    ASSERT_TRUE(PrintsWithin(c.told, c.within)) << Printed();
    EXPECT_NE(Printed().find("Korvanto starts without a session manager"), std::string::npos);
    // It goes on to start in the user's home, where the lock is taken.
    bool started = false;
    for (auto until = std::chrono::steady_clock::now() + 20s;
         !started && std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(50ms))
      started = fs::exists(root_ / "data" / "korvanto" / "temp" / ".lock");
    EXPECT_TRUE(started) << Printed();
    EXPECT_FALSE(program->WaitFor(0ms)) << "still running";
    program->Signal(SIGTERM);
    EXPECT_TRUE(program->WaitFor(10s)) << "still running 10 s after SIGTERM";
    fs::remove_all(root_ / "data");
  }
}

// A session folder that can't be made (a file stands where its parent
// should be): the manager gets the error, the terminal the reason, and the
// program ends with 1 instead of starting elsewhere.
TEST_F(NsmProgram, AnOpenWhoseFolderCantBeMadeIsRefusedAndEndsTheProgram) {
  WriteTextLines(root_ / "session", {"a file, not a folder"});
  FakeManager manager;
  auto program = StartOffscreen(manager.Url());
  ASSERT_TRUE(manager.Await("/nsm/server/announce")) << Printed();
  manager.AcceptAnnounce();
  Open(manager, Instance());
  const auto answer = manager.AwaitAnswer("/nsm/client/open");
  ASSERT_TRUE(answer) << Printed();
  EXPECT_EQ(answer->path, "/error");
  EXPECT_EQ(answer->Int(1), -10);
  EXPECT_NE(answer->Text(2).find("Korvanto.nTEST"), std::string::npos) << answer->Text(2);
  EXPECT_TRUE(ExitedWith(program->WaitFor(10s), 1)) << Printed();
  EXPECT_NE(Printed().find("korvanto: the session's folder"), std::string::npos) << Printed();
}

// On a display of its own, driven with keys as a user drives it: an edit is
// told as unsaved work, undoing it as clean; the manager's save keeps the
// song in the session (the grid without a name stays unsaved, and the
// manager hears so); hidden windows really go, and come back; the next
// start in the session opens the session's song.
TEST_F(NsmProgram, EditsAreToldAndTheManagersSaveAndHideReachTheWindows) {
  if (FindOnPath("Xvfb").empty() || FindOnPath("xdotool").empty())
    GTEST_SKIP() << "Xvfb and xdotool (scripts/install-deps) run the real windows";
  HiddenDisplay display;
  ASSERT_FALSE(display.Name().empty()) << "Xvfb did not start";
  const auto xdo = [&](const std::vector<std::string>& words) {
    std::vector<std::string> args{FindOnPath("xdotool")};
    args.insert(args.end(), words.begin(), words.end());
    ChildProcess run(args, {"DISPLAY=" + display.Name()}, root_ / "xdo.out", "/dev/null");
    const auto status = run.WaitFor(30s);
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0
               ? ReadFileBytes(root_ / "xdo.out")
               : std::string();
  };
  const auto visible = [&](const std::string& title) {
    return !xdo({"search", "--onlyvisible", "--name", title}).empty();
  };
  const auto type = [&](const std::string& title, const std::vector<std::string>& keys) {
    const std::string found = xdo({"search", "--sync", "--onlyvisible", "--name", title});
    if (found.empty()) return false;
    xdo({"windowfocus", found.substr(0, found.find('\n'))});
    std::this_thread::sleep_for(300ms);
    std::vector<std::string> words{"key", "--delay", "100"};
    words.insert(words.end(), keys.begin(), keys.end());
    xdo(words);
    return true;
  };
  const std::vector<std::string> onDisplay{"DISPLAY=" + display.Name(), "QT_QPA_PLATFORM=xcb"};

  FakeManager manager;
  auto program = Start(manager.Url(), onDisplay);
  ASSERT_TRUE(manager.Await("/nsm/server/announce")) << Printed();
  manager.AcceptAnnounce();
  Open(manager, Instance());
  ASSERT_TRUE(manager.AwaitAnswer("/nsm/client/open", 30s)) << Printed();
  ASSERT_TRUE(manager.Await("/nsm/client/is_clean"));

  // Enter puts the chosen instrument (the kick) into the grid's current cell.
  ASSERT_TRUE(type("^Korvanto Pro v6\\.0$", {"Return"}));
  EXPECT_TRUE(manager.Await("/nsm/client/is_dirty")) << Printed();

  manager.Send("/nsm/client/save");
  const auto saved = manager.AwaitAnswer("/nsm/client/save");
  ASSERT_TRUE(saved) << Printed();
  EXPECT_EQ(saved->path, "/reply");
  EXPECT_NE(saved->Text(1).find("has no name and stays unsaved"), std::string::npos)
      << saved->Text(1);
  EXPECT_TRUE(fs::is_regular_file(Instance() / "Session.sng"));
  EXPECT_TRUE(manager.Await("/nsm/client/is_dirty")) << "the grid's edit is still unsaved";

  ASSERT_TRUE(type("^Korvanto - Session\\.sng", {"ctrl+z"}));
  EXPECT_TRUE(manager.Await("/nsm/client/is_clean")) << Printed();

  manager.Send("/nsm/client/hide_optional_gui");
  ASSERT_TRUE(manager.Await("/nsm/client/gui_is_hidden"));
  EXPECT_FALSE(visible("^Korvanto - Session\\.sng"));
  manager.Send("/nsm/client/show_optional_gui");
  ASSERT_TRUE(manager.Await("/nsm/client/gui_is_shown"));
  EXPECT_TRUE(type("^Korvanto - Session\\.sng", {}));

  program->Signal(SIGTERM);
  EXPECT_TRUE(ExitedWith(program->WaitFor(10s), 0)) << Printed();

  // The next start in the session opens its song.
  FakeManager next;
  auto again = Start(next.Url(), onDisplay);
  ASSERT_TRUE(next.Await("/nsm/server/announce")) << Printed();
  next.AcceptAnnounce();
  Open(next, Instance());
  ASSERT_TRUE(next.AwaitAnswer("/nsm/client/open", 30s)) << Printed();
  EXPECT_TRUE(type("^Korvanto - Session\\.sng$", {}));
  again->Signal(SIGTERM);
  EXPECT_TRUE(ExitedWith(again->WaitFor(10s), 0)) << Printed();
}
