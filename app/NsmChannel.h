#pragma once
// The program's side of a session manager's link: news for the protocol
// going out, requests coming in.
#include <functional>

#include "app/NsmProtocol.h"

class NsmChannel {
 public:
  using Sink = std::function<void(const NsmRequest&)>;
  virtual ~NsmChannel() = default;
  // Any thread: news for the protocol (a reply, unsaved work, windows
  // shown), never waiting for the network.
  virtual void Tell(std::function<void(NsmClient&)> news) = 0;
  // The manager's requests go to sink from now on, on the link's thread;
  // nullptr: nowhere.
  virtual void SetSink(Sink sink) = 0;
};
