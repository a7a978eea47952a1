#include "app/NsmProtocol.h"

#include <cctype>

namespace {

constexpr const char* kAnnounce = "/nsm/server/announce";
constexpr const char* kOpen = "/nsm/client/open";
constexpr const char* kSave = "/nsm/client/save";

// The string at index, or nothing when the message has no string there.
std::optional<std::string> StringAt(const OscMessage& message, std::size_t index) {
  if (index >= message.args.size()) return std::nullopt;
  if (const auto* text = std::get_if<std::string>(&message.args[index])) return *text;
  return std::nullopt;
}

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

}  // namespace

bool LooksLikeOscUrl(const std::string& url) {
  std::string rest;
  for (const char* scheme : {"osc.udp://", "osc.tcp://"})
    if (url.rfind(scheme, 0) == 0) rest = url.substr(std::string(scheme).size());
  if (rest.empty()) return false;
  const std::string hostAndPort = rest.substr(0, rest.find('/'));
  const auto colon = hostAndPort.rfind(':');
  if (colon == std::string::npos || colon == 0) return false;
  const std::string port = hostAndPort.substr(colon + 1);
  return AllDigits(port) && port.size() <= 5 && std::stoi(port) > 0 && std::stoi(port) < 65536;
}

OscMessage NsmClient::Announce(const std::string& executable, int32_t pid) {
  state_ = State::Announcing;
  return {kAnnounce,
          {std::string(kNsmClientName), std::string(kNsmCapabilities), executable, kNsmApiMajor,
           kNsmApiMinor, pid}};
}

std::optional<NsmRequest> NsmClient::Hear(const OscMessage& message) {
  if (message.path == "/reply") return HearReply(message);
  if (message.path == "/error") return HearError(message);
  if (state_ == State::Refused) return std::nullopt;
  if (message.path == kOpen) return HearOpen(message);
  if (message.path == kSave) return HearSave();
  if (message.path == "/nsm/client/show_optional_gui")
    return NsmRequest{NsmRequest::Kind::ShowGui, {}, {}, {}, {}};
  if (message.path == "/nsm/client/hide_optional_gui")
    return NsmRequest{NsmRequest::Kind::HideGui, {}, {}, {}, {}};
  return std::nullopt;
}

std::optional<NsmRequest> NsmClient::HearReply(const OscMessage& message) {
  if (StringAt(message, 0) != kAnnounce || state_ != State::Announcing) return std::nullopt;
  state_ = State::Announced;
  managerName_ = StringAt(message, 2).value_or("");
  managerCapabilities_ = StringAt(message, 3).value_or("");
  SendGui();
  return std::nullopt;
}

std::optional<NsmRequest> NsmClient::HearError(const OscMessage& message) {
  if (StringAt(message, 0) != kAnnounce || state_ != State::Announcing) return std::nullopt;
  state_ = State::Refused;
  NsmRequest refused{NsmRequest::Kind::Refused, {}, {}, {}, {}};
  refused.text = StringAt(message, 2).value_or("no reason given");
  return refused;
}

std::optional<NsmRequest> NsmClient::HearOpen(const OscMessage& message) {
  if (state_ == State::Opening || state_ == State::Open) {
    Error(kOpen, nsm_error::kNotNow,
          "Korvanto is already in a session; start it again to open another");
    return std::nullopt;
  }
  const auto path = StringAt(message, 0), name = StringAt(message, 1), id = StringAt(message, 2);
  if (!path || !name || !id) {
    Error(kOpen, nsm_error::kGeneral, "An open needs a path, a display name and a client id");
    return std::nullopt;
  }
  if (path->empty() || path->front() != '/') {
    Error(kOpen, nsm_error::kBadProject, "'" + *path + "' is not an absolute path");
    return std::nullopt;
  }
  state_ = State::Opening;
  return NsmRequest{NsmRequest::Kind::Open, *path, *name, *id, {}};
}

std::optional<NsmRequest> NsmClient::HearSave() {
  if (state_ != State::Open) {
    Error(kSave, nsm_error::kNoSessionOpen, "No session is open yet");
    return std::nullopt;
  }
  return NsmRequest{NsmRequest::Kind::Save, {}, {}, {}, {}};
}

void NsmClient::Opened(const std::string& text) {
  state_ = State::Open;
  outbox_.push_back({"/reply", {std::string(kOpen), text}});
  SendUnsaved();
}

void NsmClient::OpenFailed(int32_t code, const std::string& text) {
  state_ = State::Announced;
  Error(kOpen, code, text);
}

void NsmClient::Saved(const std::string& text) {
  outbox_.push_back({"/reply", {std::string(kSave), text}});
  // A save's reply makes the manager count the program clean: work the save
  // could not keep is told again.
  unsavedSent_ = false;
  SendUnsaved();
}

void NsmClient::SaveFailed(const std::string& text) {
  Error(kSave, nsm_error::kGeneral, text);
}

void NsmClient::UnsavedIs(bool unsaved) {
  unsaved_ = unsaved;
  SendUnsaved();
}

void NsmClient::GuiIs(bool shown) {
  guiShown_ = shown;
  SendGui();
}

std::vector<OscMessage> NsmClient::TakeOutbox() {
  std::vector<OscMessage> taken;
  taken.swap(outbox_);
  return taken;
}

void NsmClient::Error(const std::string& path, int32_t code, const std::string& text) {
  outbox_.push_back({"/error", {path, code, text}});
}

void NsmClient::SendGui() {
  if (state_ == State::Announcing || state_ == State::Refused) return;
  if (!guiShown_ || guiShown_ == guiSent_) return;
  outbox_.push_back({*guiShown_ ? "/nsm/client/gui_is_shown" : "/nsm/client/gui_is_hidden", {}});
  guiSent_ = guiShown_;
}

void NsmClient::SendUnsaved() {
  if (state_ != State::Open || !unsaved_ || unsaved_ == unsavedSent_) return;
  outbox_.push_back({*unsaved_ ? "/nsm/client/is_dirty" : "/nsm/client/is_clean", {}});
  unsavedSent_ = unsaved_;
}
