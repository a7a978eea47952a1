#include "app/NsmLink.h"

#include <lo/lo.h>

namespace {

// liblo's own report would go to the terminal unasked; the link reports itself.
void QuietLoError(int, const char*, const char*) {}

OscMessage FromLo(const char* path, const char* types, lo_arg** argv, int argc) {
  OscMessage message{path ? path : "", {}};
  for (int i = 0; i < argc; ++i) switch (types[i]) {
      case LO_INT32:
        message.args.emplace_back(argv[i]->i);
        break;
      case LO_INT64:
        message.args.emplace_back(static_cast<int32_t>(argv[i]->h));
        break;
      case LO_FLOAT:
        message.args.emplace_back(argv[i]->f);
        break;
      case LO_DOUBLE:
        message.args.emplace_back(static_cast<float>(argv[i]->d));
        break;
      case LO_STRING:
        message.args.emplace_back(std::string(&argv[i]->s));
        break;
      case LO_SYMBOL:
        message.args.emplace_back(std::string(&argv[i]->S));
        break;
      // Kept in place, so later arguments keep their positions; never a string.
      default:
        message.args.emplace_back(int32_t{0});
        break;
    }
  return message;
}

bool SendTo(lo_address to, lo_server from, const OscMessage& message) {
  lo_message sent = lo_message_new();
  for (const OscValue& value : message.args) {
    if (const auto* i = std::get_if<int32_t>(&value)) lo_message_add_int32(sent, *i);
    if (const auto* f = std::get_if<float>(&value)) lo_message_add_float(sent, *f);
    if (const auto* s = std::get_if<std::string>(&value)) lo_message_add_string(sent, s->c_str());
  }
  const int result = lo_send_message_from(to, from, message.path.c_str(), sent);
  lo_message_free(sent);
  return result >= 0;
}

}  // namespace

struct NsmLink::Lo {
  lo_server server = nullptr;
  lo_address manager = nullptr;
  ~Lo() {
    if (manager) lo_address_free(manager);
    if (server) lo_server_free(server);
  }
};

std::unique_ptr<NsmLink> NsmLink::Connect(const std::string& url, const std::string& executable,
                                          int pid, std::string& error) {
  if (!LooksLikeOscUrl(url)) {
    error = "'" + url + "' is not a session manager's address (osc.udp://HOST:PORT/)";
    return nullptr;
  }
  auto lo = std::make_unique<Lo>();
  lo->manager = lo_address_new_from_url(url.c_str());
  lo->server = lo_server_new_with_proto(nullptr, lo_url_get_protocol_id(url.c_str()), QuietLoError);
  if (!lo->manager || !lo->server) {
    error = "no OSC socket can be opened for the session manager at " + url;
    return nullptr;
  }
  std::unique_ptr<NsmLink> link(new NsmLink(std::move(lo)));
  if (!SendTo(link->lo_->manager, link->lo_->server, link->client_.Announce(executable, pid))) {
    error = "the session manager at " + url + " can't be reached (" +
            lo_address_errstr(link->lo_->manager) + ")";
    return nullptr;
  }
  link->thread_ = std::thread([l = link.get()] { l->Run(); });
  return link;
}

NsmLink::NsmLink(std::unique_ptr<Lo> lo) : lo_(std::move(lo)) {
  lo_server_add_method(
      lo_->server, nullptr, nullptr,
      [](const char* path, const char* types, lo_arg** argv, int argc, lo_message, void* self) {
        static_cast<NsmLink*>(self)->Heard(FromLo(path, types, argv, argc));
        return 0;
      },
      this);
}

NsmLink::~NsmLink() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  if (thread_.joinable()) thread_.join();
  ApplyNewsAndSend();  // the last answers, such as a failed open's
}

void NsmLink::Run() {
  for (;;) {
    lo_server_recv_noblock(lo_->server, 10);
    ApplyNewsAndSend();
    const std::lock_guard lock(mutex_);
    if (stop_) return;
  }
}

void NsmLink::Heard(const OscMessage& message) {
  const std::optional<NsmRequest> request = client_.Hear(message);
  ApplyNewsAndSend();
  if (request) Deliver(*request);
}

void NsmLink::Deliver(const NsmRequest& request) {
  Sink sink;
  {
    const std::lock_guard lock(mutex_);
    const bool first =
        request.kind == NsmRequest::Kind::Open || request.kind == NsmRequest::Kind::Refused;
    if (!sink_ && first && !first_) {
      first_ = request;
      arrived_.notify_all();
      return;
    }
    if (!sink_) {
      early_.push_back(request);
      return;
    }
    sink = sink_;
  }
  sink(request);
}

std::optional<NsmRequest> NsmLink::WaitForOpen(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  arrived_.wait_for(lock, timeout, [&] { return first_.has_value(); });
  return first_;
}

void NsmLink::SetSink(Sink sink) {
  std::vector<NsmRequest> early;
  {
    const std::lock_guard lock(mutex_);
    sink_ = sink;
    early.swap(early_);
  }
  if (sink)
    for (const NsmRequest& request : early) sink(request);
}

void NsmLink::Tell(std::function<void(NsmClient&)> news) {
  const std::lock_guard lock(mutex_);
  news_.push_back(std::move(news));
}

void NsmLink::ApplyNewsAndSend() {
  std::vector<std::function<void(NsmClient&)>> news;
  {
    const std::lock_guard lock(mutex_);
    news.swap(news_);
  }
  for (const auto& told : news) told(client_);
  for (const OscMessage& message : client_.TakeOutbox()) SendTo(lo_->manager, lo_->server, message);
}
