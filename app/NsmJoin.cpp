#include "app/NsmJoin.h"

#include <unistd.h>

#include <ostream>

#include "app/ProgramHome.h"
#include "common/Files.h"

namespace {
constexpr const char* kWithout = "; Korvanto starts without a session manager\n";
}  // namespace

SessionJoin JoinSession(const std::string& url, const std::string& executable, ProgramHome& home,
                        std::ostream& err, std::chrono::milliseconds wait) {
  std::string error;
  std::unique_ptr<NsmLink> link = NsmLink::Connect(url, executable, ::getpid(), error);
  if (!link) {
    err << "korvanto: NSM_URL: " << error << kWithout;
    return {};
  }
  const std::optional<NsmRequest> first = link->WaitForOpen(wait);
  if (!first) {
    err << "korvanto: the session manager at " << url << " did not open a session within "
        << std::chrono::duration_cast<std::chrono::seconds>(wait).count() << " s" << kWithout;
    return {};
  }
  if (first->kind == NsmRequest::Kind::Refused) {
    err << "korvanto: the session manager refused Korvanto: " << first->text << kWithout;
    return {};
  }
  if (!home.EnterGiven(first->path, error)) {
    const std::string text =
        "the session's folder " + DisplayPath(first->path) + " can't be made: " + error;
    err << "korvanto: " << text << "\n";
    link->Tell([text](NsmClient& client) { client.OpenFailed(nsm_error::kCreateFailed, text); });
    return {nullptr, true};
  }
  return {std::move(link), false};
}

std::vector<std::string> SessionSongArguments(const std::filesystem::path& home) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(home / kSessionSong, ec)) return {kSessionSong};
  return {};
}
