#pragma once
// Korvanto's JACK MIDI client: one client with both ports (midi_in and
// midi_out), so JACK shows them as Korvanto:midi_in and Korvanto:midi_out.
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

class JackMidiClient {
 public:
  // Called on JACK's process thread: it must not block or allocate.
  using Deliver = std::function<void(std::span<const uint8_t> bytes, int64_t timeNs)>;
  // Messages waiting to leave at once; more are dropped and counted.
  static constexpr size_t kMostWaiting = 4096;

  JackMidiClient() = default;
  ~JackMidiClient() { Close(); }
  JackMidiClient(const JackMidiClient&) = delete;
  JackMidiClient& operator=(const JackMidiClient&) = delete;

  // Opens the client and its two ports and starts it; what failed, else empty.
  std::string Open(const std::string& name, const std::string& inPort, const std::string& outPort,
                   Deliver deliver);
  void Close();
  bool IsOpen() const { return client_ != nullptr; }
  // Whether the server went away while the client was open.
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
  static int Process(jack_nframes_t frames, void* self);
  static void Shutdown(void* self);
  void Receive(jack_nframes_t frames, int64_t startNs, double nsPerFrame);
  void Emit(jack_nframes_t frames, int64_t startNs, double nsPerFrame);

  jack_client_t* client_ = nullptr;
  jack_port_t* in_ = nullptr;
  jack_port_t* out_ = nullptr;
  jack_ringbuffer_t* ring_ = nullptr;
  Deliver deliver_;
  std::mutex sendMutex_;  // the ring's one writer at a time
  // Process thread only: the message read from the ring that is not due yet.
  Message held_;
  bool holding_ = false;
  std::atomic<bool> serverGone_{false};
  std::atomic<int64_t> sent_{0}, dropped_{0};
};
