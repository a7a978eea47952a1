// The session manager's protocol: messages in, requests and replies out.
#include <gtest/gtest.h>

#include "app/NsmProtocol.h"

namespace {

using Kind = NsmRequest::Kind;
using Messages = std::vector<OscMessage>;

OscMessage AnnounceReply() {
  return {"/reply",
          {std::string("/nsm/server/announce"), std::string("Howdy"), std::string("Test manager"),
           std::string(":server-control:optional-gui:")}};
}
OscMessage Open(const std::string& path) {
  return {"/nsm/client/open", {path, std::string("Korvanto"), std::string("nABCD")}};
}
OscMessage Bare(const std::string& path) {
  return {path, {}};
}

// A client the manager accepted and gave a session.
NsmClient OpenClient() {
  NsmClient client;
  client.Announce("korvanto", 42);
  client.Hear(AnnounceReply());
  client.Hear(Open("/sessions/Song/Korvanto.nABCD"));
  client.Opened("Opened");
  client.TakeOutbox();
  return client;
}

}  // namespace

TEST(NsmProtocol, AnnounceNamesTheProgramItsCapabilitiesExecutableApiAndPid) {
  NsmClient client;
  const OscMessage announce = client.Announce("korvanto", 4242);
  EXPECT_EQ(announce,
            (OscMessage{"/nsm/server/announce",
                        {std::string("Korvanto"), std::string(":dirty:optional-gui:"),
                         std::string("korvanto"), int32_t{1}, int32_t{2}, int32_t{4242}}}));
  EXPECT_EQ(client.GetState(), NsmClient::State::Announcing);
}

TEST(NsmProtocol, TheAnnounceReplyNamesTheManagerAndSendsTheWindowsState) {
  NsmClient client;
  client.Announce("korvanto", 1);
  client.GuiIs(true);
  EXPECT_TRUE(client.TakeOutbox().empty()) << "nothing before the manager accepted us";
  EXPECT_EQ(client.Hear(AnnounceReply()), std::nullopt);
  EXPECT_EQ(client.ManagerName(), "Test manager");
  EXPECT_TRUE(client.ManagerShowsGui());
  EXPECT_EQ(client.TakeOutbox(), Messages{Bare("/nsm/client/gui_is_shown")});
}

TEST(NsmProtocol, AnOpenIsRequestedAndAnsweredOnceTheProgramOpenedIt) {
  NsmClient client;
  client.Announce("korvanto", 1);
  client.Hear(AnnounceReply());
  const auto request = client.Hear(Open("/s/Korvanto.nX"));
  ASSERT_TRUE(request);
  EXPECT_EQ(*request, (NsmRequest{Kind::Open, "/s/Korvanto.nX", "Korvanto", "nABCD", {}}));
  EXPECT_TRUE(client.TakeOutbox().empty()) << "answered only when opened";
  client.UnsavedIs(false);
  client.Opened("Opened it");
  EXPECT_EQ(client.TakeOutbox(),
            (Messages{{"/reply", {std::string("/nsm/client/open"), std::string("Opened it")}},
                      Bare("/nsm/client/is_clean")}));
  EXPECT_EQ(client.GetState(), NsmClient::State::Open);
}

// Requests that can't be done get the manager's error at once.
TEST(NsmProtocol, RequestsThatCantBeDoneAreRefusedWithTheirCodes) {
  struct Case {
    const char* what;
    bool open;
    OscMessage heard;
    OscMessage refusal;
  };
  const std::vector<Case> cases{
      {"save before open",
       false,
       Bare("/nsm/client/save"),
       {"/error",
        {std::string("/nsm/client/save"), int32_t{-6}, std::string("No session is open yet")}}},
      {"second open",
       true,
       Open("/other/Korvanto.nB"),
       {"/error",
        {std::string("/nsm/client/open"), int32_t{-8},
         std::string("Korvanto is already in a session; start it again to open another")}}},
      {"relative path",
       false,
       Open("Korvanto.nX"),
       {"/error",
        {std::string("/nsm/client/open"), int32_t{-9},
         std::string("'Korvanto.nX' is not an absolute path")}}},
      {"empty path",
       false,
       Open(""),
       {"/error",
        {std::string("/nsm/client/open"), int32_t{-9}, std::string("'' is not an absolute path")}}},
      {"open without strings",
       false,
       {"/nsm/client/open", {int32_t{1}, int32_t{2}, int32_t{3}}},
       {"/error",
        {std::string("/nsm/client/open"), int32_t{-1},
         std::string("An open needs a path, a display name and a client id")}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NsmClient client;
    if (c.open) {
      client = OpenClient();
    } else {
      client.Announce("korvanto", 1);
      client.Hear(AnnounceReply());
      client.TakeOutbox();
    }
    EXPECT_EQ(client.Hear(c.heard), std::nullopt);
    EXPECT_EQ(client.TakeOutbox(), Messages{c.refusal});
  }
}

TEST(NsmProtocol, ManagerRequestsBecomeRequestsForTheProgram) {
  const std::vector<std::pair<std::string, std::optional<Kind>>> cases{
      {"/nsm/client/save", Kind::Save},
      {"/nsm/client/show_optional_gui", Kind::ShowGui},
      {"/nsm/client/hide_optional_gui", Kind::HideGui},
      {"/nsm/client/session_is_loaded", std::nullopt},
      {"/something/else", std::nullopt},
  };
  for (const auto& [path, kind] : cases) {
    SCOPED_TRACE(path);
    NsmClient client = OpenClient();
    const auto request = client.Hear(Bare(path));
    EXPECT_EQ(request ? std::optional<Kind>(request->kind) : std::nullopt, kind);
    EXPECT_TRUE(client.TakeOutbox().empty());
  }
}

TEST(NsmProtocol, ARefusedAnnounceIsToldAndLaterRequestsAreIgnored) {
  NsmClient client;
  client.Announce("korvanto", 1);
  const auto refused = client.Hear(
      {"/error", {std::string("/nsm/server/announce"), int32_t{-2}, std::string("Too old")}});
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->kind, Kind::Refused);
  EXPECT_EQ(refused->text, "Too old");
  EXPECT_EQ(client.Hear(Open("/s/K.n")), std::nullopt);
  client.GuiIs(true);
  EXPECT_TRUE(client.TakeOutbox().empty());
}

// Unsaved work is told when it changes, and again after a save that could
// not keep it all (the manager counts a saved program clean).
TEST(NsmProtocol, DirtyAndCleanAreToldOnChangeAndAfterASave) {
  NsmClient client = OpenClient();
  client.UnsavedIs(true);
  client.UnsavedIs(true);
  EXPECT_EQ(client.TakeOutbox(), Messages{Bare("/nsm/client/is_dirty")});
  client.UnsavedIs(false);
  client.Saved("Saved Session.sng");
  EXPECT_EQ(
      client.TakeOutbox(),
      (Messages{Bare("/nsm/client/is_clean"),
                {"/reply", {std::string("/nsm/client/save"), std::string("Saved Session.sng")}}}));
  client.UnsavedIs(true);
  client.TakeOutbox();
  client.Saved("Saved; the pattern stays unsaved");
  const Messages sent = client.TakeOutbox();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[1], Bare("/nsm/client/is_dirty"));
  client.SaveFailed("Cannot create file /s/Session.sng");
  EXPECT_EQ(client.TakeOutbox(), (Messages{{"/error",
                                            {std::string("/nsm/client/save"), int32_t{-1},
                                             std::string("Cannot create file /s/Session.sng")}}}));
}

TEST(NsmProtocol, UnsavedWorkIsNotToldBeforeTheSessionIsOpen) {
  NsmClient client;
  client.Announce("korvanto", 1);
  client.Hear(AnnounceReply());
  client.TakeOutbox();
  client.UnsavedIs(true);
  EXPECT_TRUE(client.TakeOutbox().empty());
  client.Hear(Open("/s/K.n"));
  client.OpenFailed(-10, "can't be made");
  EXPECT_EQ(
      client.TakeOutbox(),
      (Messages{{"/error",
                 {std::string("/nsm/client/open"), int32_t{-10}, std::string("can't be made")}}}));
}

TEST(NsmProtocol, WindowsShownOrHiddenAreToldOncePerChange) {
  NsmClient client = OpenClient();
  client.GuiIs(false);
  client.GuiIs(false);
  client.GuiIs(true);
  EXPECT_EQ(client.TakeOutbox(),
            (Messages{Bare("/nsm/client/gui_is_hidden"), Bare("/nsm/client/gui_is_shown")}));
}

TEST(NsmProtocol, ManagerAddressesAreRecognised) {
  const std::vector<std::pair<std::string, bool>> cases{
      {"osc.udp://localhost:12345/", true},
      {"osc.udp://192.168.1.2:9000/", true},
      {"osc.tcp://studio:7000/", true},
      {"osc.udp://localhost:12345", true},
      {"", false},
      {"localhost:12345", false},
      {"http://localhost:12345/", false},
      {"osc.udp://localhost/", false},
      {"osc.udp://:12345/", false},
      {"osc.udp://localhost:0/", false},
      {"osc.udp://localhost:99999/", false},
      {"osc.udp://localhost:12a45/", false},
      {"osc.udp://localhost:123456789012345678901234567890/", false},
  };
  for (const auto& [url, valid] : cases) EXPECT_EQ(LooksLikeOscUrl(url), valid) << url;
}
