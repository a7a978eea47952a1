#include "kit/JackAudioOutput.h"

#include <jack/jack.h>
#include <jack/transport.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "kit/AudioThreadPriority.h"
#include "kit/JackGuest.h"
#include "kit/JackTimebase.h"
#include "kit/Mixer.h"
#include "kit/SdlAudioOutput.h"
#include "kit/SoundTrouble.h"
#include "kit/VoiceGroups.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kClientName = "Korvanto";
// The largest block a server gives; a larger one plays the rest silent.
constexpr int kMaxFrames = 8192;
constexpr int kMaxOutputs = 16;
constexpr int kGroups = Mixer::kMeters;

void Deinterleave(const float* from, int frames, float* left, float* right) {
  for (int i = 0; i < frames; ++i) {
    left[i] = from[2 * i];
    right[i] = from[2 * i + 1];
  }
}

float* PortBuffer(jack_port_t* port, jack_nframes_t frames) {
  return port ? static_cast<float*>(jack_port_get_buffer(port, frames)) : nullptr;
}

// The one client, open while any output is. The process callback takes no
// lock: the started outputs sit in a fixed table of atomic pointers, and an
// output leaves it only once no callback can still be using it.
class JackDevice : public LosableDevice {
 public:
  static JackDevice& Instance() {
    static JackDevice device;
    return device;
  }

  bool Acquire(int& rate, int& period) {
    if (users_ == 0) rate_ = 0;  // a new run of outputs takes the server's rate
    if (users_ == 0 && throughSdl_) {
      if (!JoinFallbackFirst()) return false;
    } else if (users_ == 0 && !client_ && !lost_ && !OpenClient(true)) {
      return false;
    }
    ++users_;
    rate = rate_;
    period = period_.load();
    return true;
  }

  // The first output of a run that plays through SDL: the rate and block
  // are SDL's.
  bool JoinFallbackFirst() {
    StartFallback(false);
    if (!fallback_) return false;
    rate_ = fallbackRate_;
    period_ = fallback_->PeriodFrames();
    return true;
  }

  void Release() {
    if (--users_ > 0) return;
    StopFallback();
    CloseClient();
    HandBackGuest();
    lost_ = false;
  }

  void Attach(JackAudioOutput* output) {
    for (auto& slot : outputs_) {
      JackAudioOutput* none = nullptr;
      if (slot.compare_exchange_strong(none, output)) return;
    }
  }

  // Once it returns, no callback calls the output.
  void Detach(JackAudioOutput* output) {
    for (auto& slot : outputs_) {
      JackAudioOutput* mine = output;
      slot.compare_exchange_strong(mine, nullptr);
    }
    JackAudioOutput* follower = output;
    follower_.compare_exchange_strong(follower, nullptr);
    WaitForCallbacks();
  }

  // Chosen in Preferences: the outputs go on through SDL, the client closed.
  bool ThroughSdl(bool sdl) {
    if (sdl == throughSdl_) return true;
    throughSdl_ = sdl;
    if (users_ == 0 || lost_) return true;
    if (sdl) {
      CloseClient();
      HandBackGuest();
      StartFallback();
      return true;
    }
    if (!OpenClient(false)) {
      throughSdl_ = true;
      return false;
    }
    StopFallback();
    if (!Activate()) {
      CloseClient();
      HandBackGuest();
      StartFallback();
      throughSdl_ = true;
      return false;
    }
    RestoreConnections();
    JoinGuest();
    return true;
  }
  bool ThroughSdl() const { return throughSdl_; }
  bool OnClient() const { return client_ != nullptr; }

  News Poll() override {
    News news;
    if (client_ && shutdown_.load()) Lose();
    news.removed = lost_;
    return news;
  }

  std::string Name() const override {
    const char* server = std::getenv("JACK_DEFAULT_SERVER");
    return std::string("JACK server \"") + (server && *server ? server : "default") + "\"";
  }

  bool Reopen() override {
    if (!lost_) return true;
    if (users_ == 0) {
      lost_ = false;
      return true;
    }
    if (!OpenClient(false)) return false;
    StopFallback();
    if (!Activate()) {
      CloseClient();
      HandBackGuest();
      StartFallback();
      return false;
    }
    RestoreConnections();
    JoinGuest();
    lost_ = false;
    return true;
  }

  void SetOptions(const JackLinkOptions& options) {
    const JackLinkOptions before = options_;
    options_ = options;
    if (!client_) return;
    if (options.groupPorts != before.groupPorts) UpdateGroupPorts();
    if (options.timebaseMaster != before.timebaseMaster) UpdateTimebase();
    if (options.followTransport != before.followTransport) UpdateSync();
  }
  JackLinkOptions Options() const { return options_; }

  // The output whose song follows the transport: the transport waits for it.
  void SetFollower(JackAudioOutput* output) { follower_.store(output); }

  void SetGroups(const std::vector<VoiceGroup>& groups) {
    groups_ = groups;
    if (client_) UpdateGroupPorts();
  }

  int64_t Xruns() const { return xruns_.load(); }
  int64_t RateChanges() const { return rateChanges_.load(); }
  int Rate() const { return client_ ? deviceRate_.load() : 0; }
  int BlockFrames() const { return client_ ? period_.load() : 0; }

  void End() {
    StopFallback();
    CloseClient();
  }

  // The guest joins the client now when it is open, else when it opens.
  bool AddGuest(JackGuest& guest) {
    if (guest_ && guest_ != &guest) return false;
    guest_ = &guest;
    if (client_ && !shutdown_.load() && !serving_.load()) JoinGuest();
    return true;
  }

  void RemoveGuest(JackGuest& guest) {
    if (guest_ != &guest) return;
    LeaveGuest();
    guest_ = nullptr;
  }

  // Any thread: whether a client of ours could be opened now.
  static bool ServerAnswers() {
    jack_status_t status{};
    jack_client_t* probe = jack_client_open("Korvanto-probe", JackNoStartServer, &status);
    if (!probe) return false;
    jack_client_close(probe);
    return true;
  }

 private:
  JackDevice() : mix_(2 * kMaxFrames), sum_(2 * kMaxFrames) {
    for (auto& slot : outputs_) slot.store(nullptr);
    for (auto& port : groupLeft_) port.store(nullptr);
    for (auto& port : groupRight_) port.store(nullptr);
    ListenToVoiceGroups([this](const std::vector<VoiceGroup>& groups) { SetGroups(groups); });
  }
  ~JackDevice() override { End(); }

  // The client with its main ports; activated at once unless told not to.
  bool OpenClient(bool activate) {
    if (guest_) guest_->HostOpening();  // its own client gives the name up first
    jack_status_t status{};
    client_ = jack_client_open(kClientName, JackNoStartServer, &status);
    if (!client_) {
      HandBackGuest();
      return false;
    }
    shutdown_ = false;
    jack_set_process_callback(client_, &JackDevice::ProcessCallback, this);
    jack_set_buffer_size_callback(client_, &JackDevice::BlockSizeCallback, this);
    jack_set_sample_rate_callback(client_, &JackDevice::RateCallback, this);
    jack_set_xrun_callback(client_, &JackDevice::XrunCallback, this);
    jack_on_info_shutdown(client_, &JackDevice::ShutdownCallback, this);
    const int rate = static_cast<int>(jack_get_sample_rate(client_));
    if (rate_ == 0) rate_ = rate;  // outputs keep the rate they opened at
    deviceRate_ = rate;
    period_ = static_cast<int>(jack_get_buffer_size(client_));
    left_ = Register("out_L");
    right_ = Register("out_R");
    if (!left_ || !right_ || (activate && !Activate())) {
      CloseClient();
      HandBackGuest();
      return false;
    }
    if (activate && options_.connectToPlayback) ConnectToPlayback();
    if (activate) JoinGuest();
    return true;
  }

  bool Activate() {
    if (jack_activate(client_) != 0) return false;
    UpdateGroupPorts();
    UpdateTimebase();
    UpdateSync();
    return true;
  }

  jack_port_t* Register(const std::string& name) {
    return jack_port_register(client_, name.c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
  }

  void CloseClient() {
    if (!client_) return;
    LeaveGuest();
    SaveConnections();
    jack_deactivate(client_);
    jack_client_close(client_);
    client_ = nullptr;
    left_ = right_ = nullptr;
    for (auto& port : groupLeft_) port.store(nullptr);
    for (auto& port : groupRight_) port.store(nullptr);
    groupNames_.fill({});
  }

  void ConnectToPlayback() {
    const char** playback = jack_get_ports(client_, nullptr, JACK_DEFAULT_AUDIO_TYPE,
                                           JackPortIsPhysical | JackPortIsInput);
    if (!playback) return;
    if (playback[0]) {
      jack_connect(client_, jack_port_name(left_), playback[0]);
      jack_connect(client_, jack_port_name(right_), playback[1] ? playback[1] : playback[0]);
    }
    jack_free(playback);
  }

  // What our ports were connected to, kept for when the server is back.
  void SaveConnections() {
    if (shutdown_.load()) return;  // a server gone can't be asked
    connections_.clear();
    auto keep = [this](jack_port_t* port) {
      if (!port) return;
      if (const char** peers = jack_port_get_connections(port)) {
        for (int i = 0; peers[i]; ++i)
          connections_.emplace_back(jack_port_short_name(port), peers[i]);
        jack_free(peers);
      }
    };
    keep(left_);
    keep(right_);
    for (auto& port : groupLeft_) keep(port.load());
    for (auto& port : groupRight_) keep(port.load());
  }

  void RestoreConnections() {
    if (connections_.empty()) {
      if (options_.connectToPlayback) ConnectToPlayback();
      return;
    }
    const std::string client = jack_get_client_name(client_);
    for (const auto& [port, peer] : connections_)
      jack_connect(client_, (client + ":" + port).c_str(), peer.c_str());
  }

  // Group ports follow the option and the kit's groups. A group that moves
  // to another meter keeps its ports (and so their connections); a port that
  // goes is first taken from the table, then unregistered once no callback
  // uses it, and what it was connected to is remembered for its name's return.
  void UpdateGroupPorts() {
    std::array<std::string, kGroups> wanted{};
    if (options_.groupPorts)
      for (const VoiceGroup& g : groups_)
        if (g.meter >= 0 && g.meter < kGroups) wanted[g.meter] = g.name;
    if (options_.groupPorts && groupMix_.empty())
      groupMix_.assign(static_cast<size_t>(kGroups) * 2 * kMaxFrames, 0.0f);
    std::map<std::string, std::pair<jack_port_t*, jack_port_t*>> taken;
    std::vector<int> changed;
    for (int g = 0; g < kGroups; ++g) {
      if (wanted[g] == groupNames_[g]) continue;
      changed.push_back(g);
      jack_port_t* left = groupLeft_[g].exchange(nullptr);
      jack_port_t* right = groupRight_[g].exchange(nullptr);
      if (!groupNames_[g].empty()) taken[groupNames_[g]] = {left, right};
    }
    if (changed.empty()) return;
    WaitForCallbacks();
    for (int g : changed) {
      groupNames_[g] = wanted[g];
      if (wanted[g].empty()) continue;
      std::pair<jack_port_t*, jack_port_t*> ports;
      if (auto kept = taken.find(wanted[g]); kept != taken.end()) {
        ports = kept->second;
        taken.erase(kept);
      } else {
        ports = {Register(wanted[g] + "_L"), Register(wanted[g] + "_R")};
        ReconnectGroup(ports.first);
        ReconnectGroup(ports.second);
      }
      groupRight_[g].store(ports.second);
      groupLeft_[g].store(ports.first);
    }
    for (const auto& [name, ports] : taken) {
      for (jack_port_t* port : {ports.first, ports.second}) {
        if (!port) continue;
        RememberGroupPeers(port);
        jack_port_unregister(client_, port);
      }
    }
  }

  void RememberGroupPeers(jack_port_t* port) {
    auto& peers = groupPeers_[jack_port_short_name(port)];
    peers.clear();
    if (const char** connected = jack_port_get_connections(port)) {
      for (int i = 0; connected[i]; ++i) peers.emplace_back(connected[i]);
      jack_free(connected);
    }
  }

  void ReconnectGroup(jack_port_t* port) {
    if (!port) return;
    const auto peers = groupPeers_.find(jack_port_short_name(port));
    if (peers == groupPeers_.end()) return;
    for (const std::string& peer : peers->second)
      jack_connect(client_, jack_port_name(port), peer.c_str());
  }

  void UpdateTimebase() {
    if (!client_) return;
    if (options_.timebaseMaster)
      jack_set_timebase_callback(client_, 0, &JackDevice::TimebaseCallback, this);
    else
      jack_release_timebase(client_);
  }

  void UpdateSync() {
    if (!client_) return;
    jack_set_sync_callback(client_, options_.followTransport ? &JackDevice::SyncCallback : nullptr,
                           this);
  }

  // The guest's ports go on the running client; the callback serves them
  // from then on.
  void JoinGuest() {
    if (!guest_ || !client_) return;
    guest_->Join(client_);
    serving_.store(guest_);
    guest_->Served();
  }

  // The guest disconnects while still served; once no callback serves it
  // any more, its ports go.
  void LeaveGuest() {
    JackGuest* guest = serving_.load();
    if (!guest) return;
    guest->Leave();
    serving_.store(nullptr);
    WaitForCallbacks();
    guest->Left();
  }

  // The client closed by choice: the guest takes a client of its own again.
  void HandBackGuest() {
    if (guest_ && !client_) guest_->HostClosed();
  }

  void WaitForCallbacks() {
    const uint64_t entered = entered_.load();
    while (left_count_.load() < entered) std::this_thread::yield();
  }

  void Lose() {
    CloseClient();
    lost_ = true;
    StartFallback();
  }

  // SDL's output at its own rate, else a thread of our own at the client's
  // pace: the mixers, and the players behind them, carry on.
  void StartFallback(bool standIn = true) {
    auto sdl = std::make_unique<SdlAudioOutput>();
    if (sdl->Open(rate_ > 0 ? rate_ : 48000)) {
      fallbackRate_ = sdl->Rate();
      fallback_ = std::move(sdl);
      fallback_->Start([this](float* out, int frames) { MixFallback(out, frames); });
      return;
    }
    if (!standIn || rate_ <= 0) return;
    fallbackRate_ = rate_;
    stopStandIn_ = false;
    standIn_ = std::thread([this] { RunStandIn(); });
  }

  void StopFallback() {
    if (fallback_) {
      fallback_->Stop();
      fallback_.reset();
    }
    if (!standIn_.joinable()) return;
    {
      std::lock_guard lock(standInMutex_);
      stopStandIn_ = true;
    }
    standInWake_.notify_all();
    standIn_.join();
  }

  void RunStandIn() {
    RaiseToAudioPriority();
    const int period = std::clamp(period_.load(), 16, kMaxFrames);
    std::vector<float> block(2 * static_cast<size_t>(period));
    const auto start = Clock::now();
    for (int64_t n = 1;; ++n) {
      const auto due = start + std::chrono::nanoseconds(n * period * int64_t{1000000000} / rate_);
      std::unique_lock lock(standInMutex_);
      if (standInWake_.wait_until(lock, due, [this] { return stopStandIn_; })) return;
      lock.unlock();
      MixFallback(block.data(), period);
    }
  }

  void MixFallback(float* out, int frames) {
    frames = std::min(frames, kMaxFrames);
    const AudioBlock block{Clock::now()};
    MixOutputs(frames, fallbackRate_, block, JackTransportView::State::Stopped, 0);
    std::memcpy(out, sum_.data(), static_cast<size_t>(frames) * 2 * sizeof(float));
  }

  // Sums every started output into sum_; entered_/left_count_ fence Detach.
  void MixOutputs(int frames, int deviceRate, const AudioBlock& block,
                  JackTransportView::State state, int64_t position) {
    entered_.fetch_add(1);
    std::fill(sum_.begin(), sum_.begin() + 2 * frames, 0.0f);
    int started = 0;
    for (auto& slot : outputs_) {
      JackAudioOutput* output = slot.load();
      if (!output) continue;
      output->NoteTransport(state, position, deviceRate);
      output->RenderInto(mix_.data(), frames, deviceRate, block);
      for (int i = 0; i < 2 * frames; ++i) sum_[i] += mix_[i];
      ++started;
    }
    if (started > 1)
      for (int i = 0; i < 2 * frames; ++i) sum_[i] = std::clamp(sum_[i], -1.0f, 1.0f);
    left_count_.fetch_add(1);
  }

  static int ProcessCallback(jack_nframes_t frames, void* self) {
    static_cast<JackDevice*>(self)->Process(frames);
    return 0;
  }

  void Process(jack_nframes_t nframes) {
    ServeGuest(nframes);
    const int frames = std::min(static_cast<int>(nframes), kMaxFrames);
    AudioBlock block{CycleStart()};
    const bool groups = PrepareGroups(frames);
    if (groups) {
      block.groups = taps_.data();
      block.groupCount = kGroups;
    }
    jack_position_t position{};
    const jack_transport_state_t transport = jack_transport_query(client_, &position);
    const auto state = transport == JackTransportRolling    ? JackTransportView::State::Rolling
                       : transport == JackTransportStarting ? JackTransportView::State::Starting
                                                            : JackTransportView::State::Stopped;
    block.hasTransport = true;
    block.rolling = state == JackTransportView::State::Rolling;
    block.transportPosition = position.frame;
    MixOutputs(frames, deviceRate_.load(), block, state, position.frame);
    float* left = PortBuffer(left_, nframes);
    float* right = PortBuffer(right_, nframes);
    Deinterleave(sum_.data(), frames, left, right);
    SilenceBeyond(left, frames, nframes);
    SilenceBeyond(right, frames, nframes);
    if (groups) WriteGroups(frames, nframes);
  }

  // Entered before the guest is read: LeaveGuest's wait covers this call.
  void ServeGuest(jack_nframes_t nframes) {
    entered_.fetch_add(1);
    if (JackGuest* guest = serving_.load()) guest->ProcessCycle(nframes);
    left_count_.fetch_add(1);
  }

  static void SilenceBeyond(float* port, int frames, jack_nframes_t nframes) {
    if (static_cast<jack_nframes_t>(frames) < nframes)
      std::fill(port + frames, port + nframes, 0.0f);
  }

  // The steady clock's time of this cycle's start, from JACK's own clock.
  Clock::time_point CycleStart() const {
    const Clock::time_point now = Clock::now();
    jack_nframes_t cycleFrame = 0;
    jack_time_t start = 0, next = 0;
    float periodUs = 0;
    if (jack_get_cycle_times(client_, &cycleFrame, &start, &next, &periodUs) != 0) return now;
    const jack_time_t jackNow = jack_get_time();
    if (jackNow < start) return now;
    return now - std::chrono::microseconds(jackNow - start);
  }

  bool PrepareGroups(int frames) {
    bool any = false;
    for (int g = 0; g < kGroups; ++g) {
      if (!groupLeft_[g].load()) {
        taps_[g] = nullptr;
        continue;
      }
      if (groupMix_.empty()) return false;  // made with the first group port
      taps_[g] = groupMix_.data() + static_cast<size_t>(g) * 2 * kMaxFrames;
      std::fill(taps_[g], taps_[g] + 2 * frames, 0.0f);
      any = true;
    }
    return any;
  }

  void WriteGroups(int frames, jack_nframes_t nframes) {
    for (int g = 0; g < kGroups; ++g) {
      jack_port_t* leftPort = groupLeft_[g].load();
      jack_port_t* rightPort = groupRight_[g].load();
      if (!leftPort || !rightPort || !taps_[g]) continue;
      float* left = PortBuffer(leftPort, nframes);
      float* right = PortBuffer(rightPort, nframes);
      Deinterleave(taps_[g], frames, left, right);
      SilenceBeyond(left, frames, nframes);
      SilenceBeyond(right, frames, nframes);
    }
  }

  static int BlockSizeCallback(jack_nframes_t frames, void* self) {
    static_cast<JackDevice*>(self)->period_.store(static_cast<int>(frames));
    return 0;
  }

  static int RateCallback(jack_nframes_t rate, void* self) {
    auto* device = static_cast<JackDevice*>(self);
    if (device->deviceRate_.exchange(static_cast<int>(rate)) != static_cast<int>(rate))
      device->rateChanges_.fetch_add(1);
    return 0;
  }

  static int XrunCallback(void* self) {
    static_cast<JackDevice*>(self)->xruns_.fetch_add(1);
    soundtrouble::AddLateCallback(Clock::now());
    return 0;
  }

  static void ShutdownCallback(jack_status_t, const char*, void* self) {
    auto* device = static_cast<JackDevice*>(self);
    device->shutdown_.store(true);
    device->entered_.fetch_add(1);
    if (JackGuest* guest = device->serving_.load()) guest->ServerLost();
    device->left_count_.fetch_add(1);
  }

  // A slow-sync client: the transport waits for the follower's start, which
  // is placed on a block boundary ahead. No follower: always ready.
  static int SyncCallback(jack_transport_state_t state, jack_position_t* position, void* self) {
    auto* device = static_cast<JackDevice*>(self);
    if (state != JackTransportStarting) return 1;
    device->entered_.fetch_add(1);
    JackAudioOutput* follower = device->follower_.load();
    const bool ready = !follower || !device->IsAttached(follower) ||
                       follower->ReadyToRoll(position->frame, device->period_.load());
    device->left_count_.fetch_add(1);
    return ready ? 1 : 0;
  }

  bool IsAttached(const JackAudioOutput* output) const {
    for (const auto& slot : outputs_)
      if (slot.load() == output) return true;
    return false;
  }

  static void TimebaseCallback(jack_transport_state_t, jack_nframes_t, jack_position_t* position,
                               int, void*) {
    FillJackPosition(*position);
  }

  jack_client_t* client_ = nullptr;
  jack_port_t* left_ = nullptr;
  jack_port_t* right_ = nullptr;
  int users_ = 0;
  int rate_ = 0;  // the outputs' rate
  std::atomic<int> deviceRate_{0};
  std::atomic<int> period_{0};
  bool lost_ = false;
  bool throughSdl_ = false;  // chosen: the client closed, SDL plays
  JackLinkOptions options_;
  std::vector<VoiceGroup> groups_;
  std::vector<std::pair<std::string, std::string>> connections_;  // our port, its peer

  std::array<std::atomic<JackAudioOutput*>, kMaxOutputs> outputs_;
  std::atomic<uint64_t> entered_{0}, left_count_{0};
  std::vector<float> mix_, sum_;
  std::array<std::atomic<jack_port_t*>, kGroups> groupLeft_, groupRight_;
  std::array<std::string, kGroups> groupNames_{};
  // Group ports that went with a kit change: their peers, by port name.
  std::map<std::string, std::vector<std::string>> groupPeers_;
  std::vector<float> groupMix_;  // made before the first group port, never shrunk
  std::array<float*, kGroups> taps_{};

  std::atomic<bool> shutdown_{false};
  JackGuest* guest_ = nullptr;                // registered: joins whenever the client opens
  std::atomic<JackGuest*> serving_{nullptr};  // joined: the callback serves it
  std::atomic<JackAudioOutput*> follower_{nullptr};
  std::atomic<int64_t> xruns_{0}, rateChanges_{0};

  std::unique_ptr<SdlAudioOutput> fallback_;
  int fallbackRate_ = 0;
  std::thread standIn_;
  std::mutex standInMutex_;
  std::condition_variable standInWake_;
  bool stopStandIn_ = false;
};

}  // namespace

JackAudioOutput::JackAudioOutput() : bridge_(kMaxFrames) {}

JackAudioOutput::~JackAudioOutput() {
  Stop();
  if (opened_) JackDevice::Instance().Release();
}

bool JackAudioOutput::Open(int) {
  if (opened_) return true;
  int period = 0;
  opened_ = JackDevice::Instance().Acquire(rate_, period);
  period_ = std::clamp(period, 16, kMaxFrames);
  exact_ = opened_ && JackDevice::Instance().OnClient();
  return opened_;
}

void JackAudioOutput::Start(Render render) {
  if (!opened_ || started_) return;
  render_ = std::move(render);
  started_ = true;
  JackDevice::Instance().Attach(this);
}

void JackAudioOutput::Stop() {
  if (!started_) return;
  JackDevice::Instance().Detach(this);
  started_ = false;
  render_ = nullptr;
}

void JackAudioOutput::RenderInto(float* out, int frames, int deviceRate, const AudioBlock& block) {
  block_ = block;
  if (deviceRate == rate_ || deviceRate <= 0) {
    render_(out, frames);
    framesRendered_ += frames;
    return;
  }
  // Group mixes and transport frames are of the render's frames: a
  // converted block has none.
  block_.groups = nullptr;
  block_.groupCount = 0;
  block_.hasTransport = false;
  if (bridgeTo_ != deviceRate) {
    bridge_.SetRates(rate_, deviceRate);
    bridgeTo_ = deviceRate;
  }
  bridge_.Pull(out, frames, [this](float* source, int n) {
    render_(source, n);
    framesRendered_ += n;
  });
}

void JackAudioOutput::NoteTransport(JackTransportView::State state, int64_t position, int rate) {
  transportSequence_.fetch_add(1);
  state_.store(static_cast<int>(state));
  position_.store(position);
  outputFrame_.store(framesRendered_);
  transportRate_.store(rate);
  cycles_.fetch_add(1);
  transportSequence_.fetch_add(1);
}

JackTransportView JackAudioOutput::Transport() const {
  for (;;) {
    const uint64_t before = transportSequence_.load();
    if (before & 1) continue;
    JackTransportView view;
    view.state = static_cast<JackTransportView::State>(state_.load());
    view.position = position_.load();
    view.outputFrame = outputFrame_.load();
    view.rate = transportRate_.load();
    view.cycle = cycles_.load();
    view.valid = view.cycle > 0;
    if (transportSequence_.load() == before) return view;
  }
}

void JackAudioOutput::FollowTransport() {
  JackDevice::Instance().SetFollower(this);
}

void JackAudioOutput::HoldTransportUntil(int64_t position, int64_t outputFrame) {
  holdFrame_.store(outputFrame);
  holdPosition_.store(position);
  FollowTransport();
}

bool JackAudioOutput::ReadyToRoll(int64_t position, int period) const {
  if (holdPosition_.load() != position) return false;
  return framesRendered_ + period >= holdFrame_.load();
}

AudioOutputFactory JackAudioOutputFactory() {
  return [] { return std::make_unique<JackAudioOutput>(); };
}

bool PlayJackThroughSdl(bool throughSdl) {
  return JackDevice::Instance().ThroughSdl(throughSdl);
}

bool JackPlaysThroughSdl() {
  return JackDevice::Instance().ThroughSdl();
}

bool JackServerAnswers() {
  return JackDevice::ServerAnswers();
}

bool AddJackGuest(JackGuest& guest) {
  return JackDevice::Instance().AddGuest(guest);
}

void RemoveJackGuest(JackGuest& guest) {
  JackDevice::Instance().RemoveGuest(guest);
}

LosableDevice& JackSoundDevice() {
  return JackDevice::Instance();
}

void SetJackOptions(const JackLinkOptions& options) {
  JackDevice::Instance().SetOptions(options);
}

JackLinkOptions CurrentJackOptions() {
  return JackDevice::Instance().Options();
}

int64_t JackXruns() {
  return JackDevice::Instance().Xruns();
}

int64_t JackRateChanges() {
  return JackDevice::Instance().RateChanges();
}

int JackRate() {
  return JackDevice::Instance().Rate();
}

int JackBlockFrames() {
  return JackDevice::Instance().BlockFrames();
}

void EndJackSoundDevice() {
  JackDevice::Instance().End();
}
