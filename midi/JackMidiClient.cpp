#include "midi/JackMidiClient.h"

#include <jack/midiport.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <thread>

#include "kit/JackAudioOutput.h"

namespace {
int64_t SteadyNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

std::string JackMidiClient::Open(const std::string& name, const std::string& inPort,
                                 const std::string& outPort, Deliver deliver) {
  Close();
  name_ = name;
  inPort_ = inPort;
  outPort_ = outPort;
  ring_ = jack_ringbuffer_create(kMostWaiting * sizeof(Message));
  if (!ring_) return "JACK refused Korvanto's MIDI ports.";
  deliver_ = std::move(deliver);
  serverGone_ = false;
  holding_ = false;
  refused_ = false;
  open_ = true;
  seated_ = AddJackGuest(*this);  // joins the sound's client at once when it is open
  std::string trouble;
  if (refused_)
    trouble = "JACK refused Korvanto's MIDI ports.";
  else if (!client_)
    trouble = OpenOwn();
  if (!trouble.empty()) Close();
  return trouble;
}

void JackMidiClient::Close() {
  if (seated_) RemoveJackGuest(*this);
  seated_ = false;
  CloseOwn();
  peers_.clear();
  open_ = false;
  if (ring_) jack_ringbuffer_free(ring_);
  ring_ = nullptr;
}

std::string JackMidiClient::OpenOwn() {
  jack_status_t status{};
  own_ = jack_client_open(name_.c_str(), JackNoStartServer, &status);
  if (!own_) return "No JACK server runs (the MIDI ports need one).";
  serverGone_ = false;
  if (!RegisterPorts(own_)) {
    CloseOwn();
    return "JACK refused Korvanto's MIDI ports.";
  }
  client_ = own_;
  jack_set_process_callback(own_, &JackMidiClient::OwnProcess, this);
  jack_on_shutdown(own_, &JackMidiClient::Shutdown, this);
  if (jack_activate(own_) != 0) {
    CloseOwn();
    return "JACK would not start Korvanto's MIDI client.";
  }
  RestorePeers();
  return {};
}

void JackMidiClient::CloseOwn() {
  if (!own_) return;
  if (!serverGone_) {
    if (client_ == own_) SavePeers();
    jack_deactivate(own_);
  }
  jack_client_close(own_);  // after deactivate: no process call runs any more
  if (client_ == own_) client_ = nullptr;
  own_ = nullptr;
  in_ = out_ = nullptr;
}

bool JackMidiClient::RegisterPorts(jack_client_t* client) {
  in_ = jack_port_register(client, inPort_.c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  out_ = jack_port_register(client, outPort_.c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
  if (in_ && out_) return true;
  if (in_) jack_port_unregister(client, in_);
  if (out_) jack_port_unregister(client, out_);
  in_ = out_ = nullptr;
  return false;
}

void JackMidiClient::SavePeers() {
  peers_.clear();
  auto keep = [this](jack_port_t* port, bool toInput) {
    if (!port) return;
    if (const char** peers = jack_port_get_connections(port)) {
      for (int i = 0; peers[i]; ++i) peers_.push_back({toInput, peers[i]});
      jack_free(peers);
    }
  };
  keep(in_, true);
  keep(out_, false);
}

void JackMidiClient::DisconnectPeers() {
  if (in_) jack_port_disconnect(client_, in_);
  if (out_) jack_port_disconnect(client_, out_);
}

// Peers that are gone meanwhile are left. A port just registered may hold
// the messages a port before it had last: a peer hears it only once a
// cycle has written it.
void JackMidiClient::RestorePeers() {
  if (peers_.empty()) return;
  WaitForACycle();
  for (const Peer& peer : peers_) {
    if (peer.toInput)
      jack_connect(client_, peer.port.c_str(), jack_port_name(in_));
    else
      jack_connect(client_, jack_port_name(out_), peer.port.c_str());
  }
}

void JackMidiClient::WaitForACycle() const {
  constexpr auto kMostWait = std::chrono::milliseconds(250);  // a stalled server: connect anyway
  const uint64_t seen = cycles_.load();
  const auto until = std::chrono::steady_clock::now() + kMostWait;
  while (cycles_.load() == seen && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void JackMidiClient::HostOpening() {
  CloseOwn();
}

void JackMidiClient::Join(jack_client_t* client) {
  if (!open_) return;
  if (!RegisterPorts(client)) {
    refused_ = true;
    return;
  }
  client_ = client;
  serverGone_ = false;
}

void JackMidiClient::Served() {
  if (in_ && out_) RestorePeers();
}

void JackMidiClient::ServerLost() {
  serverGone_ = true;
}

void JackMidiClient::Leave() {
  if (serverGone_ || !client_) return;
  SavePeers();
  DisconnectPeers();
}

void JackMidiClient::Left() {
  if (!serverGone_ && client_) {
    jack_port_unregister(client_, in_);
    jack_port_unregister(client_, out_);
  }
  client_ = nullptr;
  in_ = out_ = nullptr;
}

void JackMidiClient::HostClosed() {
  if (open_ && !own_) OpenOwn();  // no server: the ports wait for the sound's client
}

std::string JackMidiClient::InputName() const {
  return in_ ? jack_port_name(in_) : "";
}

std::string JackMidiClient::OutputName() const {
  return out_ ? jack_port_name(out_) : "";
}

std::string JackMidiClient::Connect(const std::string& from, const std::string& to) {
  if (!client_ || serverGone_) return "The JACK server is gone.";
  if (!jack_port_by_name(client_, from.c_str()) || !jack_port_by_name(client_, to.c_str()))
    return "The MIDI port " + (jack_port_by_name(client_, from.c_str()) ? to : from) +
           " is not there now.";
  const int result = jack_connect(client_, from.c_str(), to.c_str());
  if (result == 0 || result == EEXIST) return {};
  return "Could not connect " + from + " to " + to + ".";
}

void JackMidiClient::Send(int64_t dueNs, std::span<const uint8_t> bytes) {
  Message message;
  if (bytes.empty() || bytes.size() > 3 || !ring_) {
    dropped_.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  message.dueNs = dueNs;
  message.size = static_cast<uint8_t>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), message.bytes);
  const std::lock_guard lock(sendMutex_);
  if (jack_ringbuffer_write_space(ring_) < sizeof message) {
    dropped_.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  jack_ringbuffer_write(ring_, reinterpret_cast<const char*>(&message), sizeof message);
}

int JackMidiClient::OwnProcess(jack_nframes_t frames, void* self) {
  static_cast<JackMidiClient*>(self)->ProcessCycle(frames);
  return 0;
}

void JackMidiClient::ProcessCycle(jack_nframes_t frames) {
  if (!in_ || !out_) return;  // the sound's client refused them
  jack_nframes_t startFrame = 0;
  jack_time_t startUs = 0, nextUs = 0;
  float periodUs = 0;
  // JACK's microseconds on the steady clock: both are read back to back.
  const int64_t offsetNs = SteadyNs() - static_cast<int64_t>(jack_get_time()) * 1000;
  if (jack_get_cycle_times(client_, &startFrame, &startUs, &nextUs, &periodUs) != 0 ||
      nextUs <= startUs || frames == 0) {
    startUs = jack_get_time();
    nextUs = startUs + 1;
  }
  const int64_t startNs = static_cast<int64_t>(startUs) * 1000 + offsetNs;
  const double nsPerFrame = static_cast<double>(nextUs - startUs) * 1000.0 / std::max(frames, 1u);
  Receive(frames, startNs, nsPerFrame);
  Emit(frames, startNs, nsPerFrame);
  cycles_.fetch_add(1);
}

void JackMidiClient::Receive(jack_nframes_t frames, int64_t startNs, double nsPerFrame) {
  void* buffer = jack_port_get_buffer(in_, frames);
  const uint32_t count = jack_midi_get_event_count(buffer);
  for (uint32_t i = 0; i < count; ++i) {
    jack_midi_event_t event;
    if (jack_midi_event_get(&event, buffer, i) != 0 || !deliver_) continue;
    const auto at = startNs + static_cast<int64_t>(std::llround(event.time * nsPerFrame));
    deliver_(std::span<const uint8_t>(event.buffer, event.size), at);
  }
}

// Every message due before the cycle ends leaves in it, at the frame of its
// due time (a message already late at the cycle's start); the rest wait.
void JackMidiClient::Emit(jack_nframes_t frames, int64_t startNs, double nsPerFrame) {
  void* buffer = jack_port_get_buffer(out_, frames);
  jack_midi_clear_buffer(buffer);
  const int64_t endNs = startNs + static_cast<int64_t>(std::llround(frames * nsPerFrame));
  jack_nframes_t lastFrame = 0;
  for (;;) {
    if (!holding_) {
      if (jack_ringbuffer_read_space(ring_) < sizeof held_) return;
      jack_ringbuffer_read(ring_, reinterpret_cast<char*>(&held_), sizeof held_);
      holding_ = true;
    }
    if (held_.dueNs >= endNs) return;
    const double ahead = held_.dueNs > startNs ? (held_.dueNs - startNs) / nsPerFrame : 0;
    const auto frame =
        std::clamp<jack_nframes_t>(static_cast<jack_nframes_t>(ahead), lastFrame, frames - 1);
    if (jack_midi_event_write(buffer, frame, held_.bytes, held_.size) == 0)
      sent_.fetch_add(1, std::memory_order_relaxed);
    else
      dropped_.fetch_add(1, std::memory_order_relaxed);
    lastFrame = frame;
    holding_ = false;
  }
}

void JackMidiClient::Shutdown(void* self) {
  static_cast<JackMidiClient*>(self)->serverGone_ = true;
}
