#pragma once
// Korvanto's JACK MIDI ports midi_in and midi_out. While the sound plays
// through JACK they are ports of its client (Korvanto:midi_in beside
// Korvanto:out_L) served by its process callback; otherwise they have a
// client of their own under the same name. Connections made to them are
// kept when they move from one client to the other.
// Messages are placed by frame: one that arrives is stamped with the moment
// of its frame in the cycle, one sent leaves at the frame of its due time.
#include <jack/jack.h>
#include <jack/ringbuffer.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "kit/JackGuest.h"

class JackMidiClient : private JackGuest {
 public:
  // Called on JACK's process thread: it must not block or allocate.
  using Deliver = std::function<void(std::span<const uint8_t> bytes, int64_t timeNs)>;
  // Messages waiting to leave at once; more are dropped and counted.
  static constexpr size_t kMostWaiting = 4096;

  JackMidiClient() = default;
  ~JackMidiClient() override { Close(); }
  JackMidiClient(const JackMidiClient&) = delete;
  JackMidiClient& operator=(const JackMidiClient&) = delete;

  // Opens the two ports, on the sound's client when it is open, else on a
  // client of their own named name, and starts them; what failed, else empty.
  std::string Open(const std::string& name, const std::string& inPort, const std::string& outPort,
                   Deliver deliver);
  void Close();
  bool IsOpen() const { return open_; }
  // Whether the server went away while the ports were open.
  bool ServerGone() const { return serverGone_.load(); }
  std::string InputName() const;
  std::string OutputName() const;
  // Connects two ports by name; what failed, else empty.
  std::string Connect(const std::string& from, const std::string& to);

  // Any thread. dueNs on the steady clock (0: at once); messages given in
  // time order leave in that order, each in the cycle that holds its due time.
  void Send(int64_t dueNs, std::span<const uint8_t> bytes);
  int64_t Sent() const { return sent_.load(std::memory_order_relaxed); }
  int64_t Dropped() const { return dropped_.load(std::memory_order_relaxed); }

 private:
  struct Message {
    int64_t dueNs = 0;
    uint8_t size = 0;
    uint8_t bytes[3]{};
  };
  // A peer of one of the ports, for connecting it again on the next client.
  struct Peer {
    bool toInput = false;  // connected to midi_in (else from midi_out)
    std::string port;
  };

  // The sound's client.
  void HostOpening() override;
  void Join(jack_client_t* client) override;
  void Served() override;
  void ProcessCycle(jack_nframes_t frames) override;
  void ServerLost() override;
  void Leave() override;
  void Left() override;
  void HostClosed() override;

  std::string OpenOwn();
  void CloseOwn();
  bool RegisterPorts(jack_client_t* client);
  void SavePeers();
  void DisconnectPeers();
  void RestorePeers();
  void WaitForACycle() const;
  static int OwnProcess(jack_nframes_t frames, void* self);
  static void Shutdown(void* self);
  void Receive(jack_nframes_t frames, int64_t startNs, double nsPerFrame);
  void Emit(jack_nframes_t frames, int64_t startNs, double nsPerFrame);

  bool open_ = false;
  bool seated_ = false;   // the sound's device calls this guest
  bool refused_ = false;  // the sound's client would not take the ports
  std::string name_, inPort_, outPort_;
  jack_client_t* own_ = nullptr;     // the client of our own, while there is one
  jack_client_t* client_ = nullptr;  // the client the ports are on now
  jack_port_t* in_ = nullptr;
  jack_port_t* out_ = nullptr;
  std::vector<Peer> peers_;  // kept while the ports move between clients
  jack_ringbuffer_t* ring_ = nullptr;
  Deliver deliver_;
  std::mutex sendMutex_;  // the ring's one writer at a time
  // Process thread only: the message read from the ring that is not due yet.
  Message held_;
  bool holding_ = false;
  std::atomic<bool> serverGone_{false};
  std::atomic<int64_t> sent_{0}, dropped_{0};
  std::atomic<uint64_t> cycles_{0};  // cycles that served the ports
};
