#pragma once
// A JACK client of the test's own that records ports of another client, with
// the transport's state and frame at each block it recorded, and can stall
// once (an xrun on the server).
#include <jack/jack.h>
#include <jack/transport.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

class JackRecorder {
 public:
  struct Block {
    int64_t firstFrame = 0;  // in the recording
    bool rolling = false;
    int64_t transportFrame = 0;
  };

  JackRecorder(const std::vector<std::string>& sources, size_t capacityFrames)
      : capacity_(capacityFrames), channels_(sources.size()), blocks_(capacityFrames / 16 + 1) {
    for (auto& channel : channels_) channel.assign(capacity_, 0.0f);
    jack_status_t status{};
    client_ = jack_client_open("recorder", JackNoStartServer, &status);
    if (!client_) return;
    for (size_t i = 0; i < sources.size(); ++i)
      ports_.push_back(jack_port_register(client_, ("in_" + std::to_string(i)).c_str(),
                                          JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0));
    jack_set_process_callback(client_, &JackRecorder::Process, this);
    jack_activate(client_);
    for (size_t i = 0; i < sources.size(); ++i)
      jack_connect(client_, sources[i].c_str(), jack_port_name(ports_[i]));
  }
  ~JackRecorder() {
    if (!client_) return;
    jack_deactivate(client_);
    jack_client_close(client_);
  }
  JackRecorder(const JackRecorder&) = delete;
  JackRecorder& operator=(const JackRecorder&) = delete;

  jack_client_t* client() const { return client_; }
  bool ok() const { return client_ != nullptr; }
  size_t Frames() const { return frames_.load(); }
  // Recording starts (again) from the next block.
  void Restart() { restart_.store(true); }
  bool WaitFrames(size_t frames, std::chrono::milliseconds timeout) const {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (Frames() < frames) {
      if (std::chrono::steady_clock::now() > end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }
  std::vector<float> Channel(size_t i) const {
    return {channels_[i].begin(), channels_[i].begin() + static_cast<std::ptrdiff_t>(Frames())};
  }
  std::vector<Block> Blocks() const {
    return {blocks_.begin(), blocks_.begin() + static_cast<std::ptrdiff_t>(blockCount_.load())};
  }
  // The next block's callback sleeps this long (longer than a block: an xrun).
  void StallOnce(std::chrono::milliseconds stall) {
    stallMs_.store(static_cast<int>(stall.count()));
  }

 private:
  static int Process(jack_nframes_t n, void* self) {
    static_cast<JackRecorder*>(self)->Record(n);
    return 0;
  }
  void Record(jack_nframes_t n) {
    if (const int stall = stallMs_.exchange(0); stall > 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(stall));
    if (restart_.exchange(false)) {
      frames_.store(0);
      blockCount_.store(0);
    }
    const size_t at = frames_.load();
    const size_t count = std::min<size_t>(n, capacity_ - at);
    for (size_t c = 0; c < ports_.size(); ++c) {
      const auto* in = static_cast<const float*>(jack_port_get_buffer(ports_[c], n));
      std::copy(in, in + count, channels_[c].begin() + static_cast<std::ptrdiff_t>(at));
    }
    if (count > 0 && blockCount_.load() < blocks_.size()) {
      jack_position_t position{};
      const bool rolling = jack_transport_query(client_, &position) == JackTransportRolling;
      blocks_[blockCount_.load()] = {static_cast<int64_t>(at), rolling,
                                     static_cast<int64_t>(position.frame)};
      blockCount_.fetch_add(1);
    }
    frames_.store(at + count);
  }

  size_t capacity_;
  std::vector<std::vector<float>> channels_;
  std::vector<Block> blocks_;
  std::vector<jack_port_t*> ports_;
  jack_client_t* client_ = nullptr;
  std::atomic<size_t> frames_{0};
  std::atomic<size_t> blockCount_{0};
  std::atomic<bool> restart_{false};
  std::atomic<int> stallMs_{0};
};

// The first frame at or after `from` where the samples are not silent; -1: none.
inline int64_t FirstSound(const std::vector<float>& samples, size_t from = 0) {
  for (size_t i = from; i < samples.size(); ++i)
    if (samples[i] != 0.0f) return static_cast<int64_t>(i);
  return -1;
}
