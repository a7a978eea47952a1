#pragma once
// The OSC link to a session manager (liblo). Its own thread receives the
// manager's messages, runs the protocol and sends every reply; requests for
// the program go to a sink, and the program's news come back through Tell,
// which never waits for the network.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/NsmChannel.h"

class NsmLink : public NsmChannel {
 public:
  // Opens a socket of its own and announces the program at url; nullptr
  // with the reason in error when url is no manager's address or the
  // announce can't be sent.
  static std::unique_ptr<NsmLink> Connect(const std::string& url, const std::string& executable,
                                          int pid, std::string& error);
  // What is told before is sent; then the thread ends.
  ~NsmLink() override;
  NsmLink(const NsmLink&) = delete;
  NsmLink& operator=(const NsmLink&) = delete;

  // Before the windows: the manager's open or refusal; nothing when neither
  // came within timeout.
  std::optional<NsmRequest> WaitForOpen(std::chrono::milliseconds timeout);
  void SetSink(Sink sink) override;
  void Tell(std::function<void(NsmClient&)> news) override;

 private:
  struct Lo;
  explicit NsmLink(std::unique_ptr<Lo> lo);
  void Run();
  void Heard(const OscMessage& message);
  void Deliver(const NsmRequest& request);
  void ApplyNewsAndSend();

  std::unique_ptr<Lo> lo_;
  NsmClient client_;  // the link's thread only, once it runs
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<std::function<void(NsmClient&)>> news_;
  std::optional<NsmRequest> first_;
  std::vector<NsmRequest> early_;
  Sink sink_;
  bool stop_ = false;
  std::thread thread_;
};
