#pragma once
// The session manager's protocol (NSM, over OSC) as Korvanto speaks it: the
// messages it hears turn into requests for the program and replies for the
// manager, and what the program reports (opened, saved, unsaved work, windows
// shown) turns into messages. No sockets here: the OSC link feeds it and
// sends what it returns.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

using OscValue = std::variant<int32_t, float, std::string>;

struct OscMessage {
  std::string path;
  std::vector<OscValue> args;
  bool operator==(const OscMessage&) const = default;
};

// The manager's error codes.
namespace nsm_error {
inline constexpr int32_t kGeneral = -1;
inline constexpr int32_t kNoSessionOpen = -6;
inline constexpr int32_t kNotNow = -8;
inline constexpr int32_t kBadProject = -9;
inline constexpr int32_t kCreateFailed = -10;
}  // namespace nsm_error

inline constexpr const char* kNsmClientName = "Korvanto";
inline constexpr const char* kNsmCapabilities = ":dirty:optional-gui:";
inline constexpr int32_t kNsmApiMajor = 1;
inline constexpr int32_t kNsmApiMinor = 2;

// What the manager asks of the program.
struct NsmRequest {
  enum class Kind { Open, Save, ShowGui, HideGui, Refused };
  Kind kind = Kind::Open;
  std::string path;         // Open: where the session keeps this program's files
  std::string displayName;  // Open
  std::string clientId;     // Open
  std::string text;         // Refused: the manager's reason
  bool operator==(const NsmRequest&) const = default;
};

// True for an address such as "osc.udp://host:12345/".
bool LooksLikeOscUrl(const std::string& url);

class NsmClient {
 public:
  enum class State { Announcing, Announced, Opening, Open, Refused };

  // The first message: who is asking to join the session.
  OscMessage Announce(const std::string& executable, int32_t pid);

  // A message from the manager: the request it makes, if any. Replies that
  // need nothing from the program (a refused or malformed request) join the
  // outbox at once.
  std::optional<NsmRequest> Hear(const OscMessage& message);

  // The program's answers and news; each adds what is due to the outbox.
  void Opened(const std::string& text);
  void OpenFailed(int32_t code, const std::string& text);
  void Saved(const std::string& text);
  void SaveFailed(const std::string& text);
  // Whether unsaved work exists; told only when it changes, once open.
  void UnsavedIs(bool unsaved);
  // Whether the windows are shown; told once the manager accepted us.
  void GuiIs(bool shown);

  // The messages to send, in order; the outbox is left empty.
  std::vector<OscMessage> TakeOutbox();

  State GetState() const { return state_; }
  const std::string& ManagerName() const { return managerName_; }
  bool ManagerShowsGui() const { return managerCapabilities_.find(":optional-gui:") != npos; }

 private:
  static constexpr std::string::size_type npos = std::string::npos;
  std::optional<NsmRequest> HearReply(const OscMessage& message);
  std::optional<NsmRequest> HearError(const OscMessage& message);
  std::optional<NsmRequest> HearOpen(const OscMessage& message);
  std::optional<NsmRequest> HearSave();
  void Error(const std::string& path, int32_t code, const std::string& text);
  void SendGui();
  void SendUnsaved();

  State state_ = State::Announcing;
  std::string managerName_, managerCapabilities_;
  std::optional<bool> guiShown_, guiSent_;
  std::optional<bool> unsaved_, unsavedSent_;
  std::vector<OscMessage> outbox_;
};
