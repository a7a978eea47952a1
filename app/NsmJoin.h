#pragma once
// Joining a session manager's session at start (NSM_URL set): Korvanto
// announces itself, waits for the manager's open and makes the folder the
// manager names its home, before any window exists.
#include <chrono>
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <string>

#include "app/NsmLink.h"

class ProgramHome;

inline constexpr std::chrono::seconds kNsmOpenWait{10};
// The session's song, in the session's folder.
inline constexpr const char* kSessionSong = "Session.sng";

struct SessionJoin {
  std::unique_ptr<NsmLink> link;  // none: the program runs without a manager
  bool failed = false;            // the session's folder can't be made: the program ends
};

// A bad address, a refusal or a manager silent for wait are told on err and
// the program starts as without NSM_URL. A folder that can't be made is
// told on err and to the manager, and the join fails.
SessionJoin JoinSession(const std::string& url, const std::string& executable, ProgramHome& home,
                        std::ostream& err, std::chrono::milliseconds wait = kNsmOpenWait);

// The song a session opens with: its song file when the folder holds one.
std::vector<std::string> SessionSongArguments(const std::filesystem::path& home);
