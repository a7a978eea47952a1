#include "midi/MidiPorts.h"

#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <utility>

#include "midi/JackPortList.h"
#include "midi/MidiStreamParser.h"

struct MidiPorts::Input {
  MidiPorts* owner = nullptr;
  std::unique_ptr<RtMidiIn> port;
  MidiStreamParser parser;  // per connection: running status is per stream
};

namespace {
// RtMidi tells when its input thread got the message: stamped there.
void HeardOnAlsa(double, std::vector<unsigned char>* message, void* input) {
  auto* in = static_cast<MidiPorts::Input*>(input);
  if (message) in->owner->Deliver(*in, *message, MidiNowNs());
}
}  // namespace

namespace {
// RtMidi reports through this instead of printing or throwing from its threads.
void CollectError(RtMidiError::Type type, const std::string& text, void* ports) {
  if (type == RtMidiError::WARNING || type == RtMidiError::DEBUG_WARNING) return;
  static_cast<MidiPorts*>(ports)->AddError(text);
}

std::string Joined(const std::vector<std::string>& messages) {
  std::string text;
  for (const auto& message : messages)
    if (!message.empty()) text += (text.empty() ? "" : "\n") + message;
  return text;
}
}  // namespace

MidiPorts::MidiPorts(std::vector<MidiListener*> listeners) : listeners_(std::move(listeners)) {}

MidiPorts::~MidiPorts() {
  Close();
}

void MidiPorts::AddListener(MidiListener* listener) {
  if (!IsOpen() && listener) listeners_.push_back(listener);
}

void MidiPorts::Deliver(Input& input, std::span<const uint8_t> bytes, int64_t timeNs) {
  input.parser.Feed(bytes, timeNs, [this](const MidiEvent& event) {
    heard_.fetch_add(1, std::memory_order_relaxed);
    for (MidiListener* listener : listeners_) listener->Heard(event);
  });
}

std::string MidiPorts::Open(MidiSystem api) {
  Close();
  api_ = api;
  const std::string message = api == MidiSystem::Jack   ? OpenJack()
                              : api == MidiSystem::Alsa ? OpenAlsa()
                                                        : std::string();
  if (message.empty()) return {};
  Close();
  return "The MIDI ports could not be opened on " + MidiSystemWord(api) + ":\n" + message;
}

std::string MidiPorts::OpenJack() {
  jackParser_.Reset();
  return jack_.Open(kClientName, kInputPort, kOutputPort,
                    [this](std::span<const uint8_t> bytes, int64_t timeNs) {
                      jackParser_.Feed(bytes, timeNs, [this](const MidiEvent& event) {
                        heard_.fetch_add(1, std::memory_order_relaxed);
                        for (MidiListener* listener : listeners_) listener->Heard(event);
                      });
                    });
}

std::unique_ptr<MidiPorts::Input> MidiPorts::MakeAlsaInput() {
  auto in = std::make_unique<Input>();
  in->owner = this;
  in->port = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, kClientName, 1000);
  in->port->setErrorCallback(CollectError, this);
  in->port->setCallback(HeardOnAlsa, in.get());
  // Clock and Start/Stop reach the listeners; SysEx and active sensing don't.
  in->port->ignoreTypes(true, false, true);
  return in;
}

std::string MidiPorts::OpenAlsa() {
  TakeErrors();
  try {
    auto in = MakeAlsaInput();
    in->port->openVirtualPort(kInputPort);
    in_ = std::move(in);
    out_ = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, kClientName);
    out_->setErrorCallback(CollectError, this);
    out_->openVirtualPort(kOutputPort);
  } catch (const RtMidiError& error) {
    AddError(error.getMessage());
  }
  if (std::string errors = TakeErrors(); !errors.empty()) return errors;
  const std::lock_guard lock(sendMutex_);
  send_ = std::make_unique<MidiSendQueue>([this](std::span<const uint8_t> bytes) {
    const std::lock_guard outs(outsMutex_);
    out_->sendMessage(bytes.data(), bytes.size());
    for (const auto& out : extraOuts_) out->sendMessage(bytes.data(), bytes.size());
  });
  return {};
}

void MidiPorts::Close() {
  {
    const std::lock_guard lock(sendMutex_);
    send_.reset();  // its thread ends before the port it sends on
  }
  {
    const std::lock_guard outs(outsMutex_);
    extraOuts_.clear();
  }
  out_.reset();
  extraIns_.clear();
  in_.reset();
  jack_.Close();
  heard_.store(0, std::memory_order_relaxed);
  api_ = MidiSystem::None;
}

void MidiPorts::SendAt(int64_t dueNs, std::span<const uint8_t> bytes) {
  if (jack_.IsOpen()) return jack_.Send(dueNs, bytes);
  const std::lock_guard lock(sendMutex_);
  if (send_) send_->SendAt(dueNs, bytes);
}

int64_t MidiPorts::Sent() const {
  if (jack_.IsOpen()) return jack_.Sent();
  const std::lock_guard lock(sendMutex_);
  return send_ ? send_->Sent() : 0;
}

void MidiPorts::AddError(const std::string& text) {
  const std::lock_guard lock(errorsMutex_);
  if (errors_.size() < 4096) errors_ += text + "\n";
}

std::string MidiPorts::TakeErrors() {
  const std::lock_guard lock(errorsMutex_);
  return std::exchange(errors_, {});
}

std::vector<std::string> MidiPorts::Sources() const {
  if (api_ == MidiSystem::Jack) {
    auto ports = JackMidiPorts(true);
    std::erase_if(ports, [this](const std::string& p) { return p == jack_.OutputName(); });
    return ports;
  }
  std::vector<std::string> names;
  if (!in_) return names;
  for (unsigned i = 0; i < in_->port->getPortCount(); ++i)
    names.push_back(in_->port->getPortName(i));
  return names;
}

std::vector<std::string> MidiPorts::Targets() const {
  if (api_ == MidiSystem::Jack) {
    auto ports = JackMidiPorts(false);
    std::erase_if(ports, [this](const std::string& p) { return p == jack_.InputName(); });
    return ports;
  }
  std::vector<std::string> names;
  if (!out_) return names;
  for (unsigned i = 0; i < out_->getPortCount(); ++i) names.push_back(out_->getPortName(i));
  return names;
}

std::string MidiPorts::Connect(const std::vector<std::string>& sources,
                               const std::vector<std::string>& targets) {
  if (!IsOpen()) return {};
  std::vector<std::string> messages;
  for (const auto& source : sources) messages.push_back(ConnectSource(source));
  for (const auto& target : targets) messages.push_back(ConnectTarget(target));
  return Joined(messages);
}

std::string MidiPorts::ConnectSource(const std::string& source) {
  if (api_ == MidiSystem::Jack) return jack_.Connect(source, jack_.InputName());
  // ALSA: RtMidi subscribes a port of its own to the source; it hears as midi_in does.
  const auto names = Sources();
  const auto found = std::find(names.begin(), names.end(), source);
  if (found == names.end()) return "The MIDI port " + source + " is not there now.";
  try {
    auto in = MakeAlsaInput();
    in->port->openPort(static_cast<unsigned>(found - names.begin()), kInputPort);
    extraIns_.push_back(std::move(in));
  } catch (const RtMidiError& error) {
    return error.getMessage();
  }
  return {};
}

std::string MidiPorts::ConnectTarget(const std::string& target) {
  if (api_ == MidiSystem::Jack) return jack_.Connect(jack_.OutputName(), target);
  const auto names = Targets();
  const auto found = std::find(names.begin(), names.end(), target);
  if (found == names.end()) return "The MIDI port " + target + " is not there now.";
  // ALSA: a port of RtMidi's own subscribes the target; it plays what midi_out plays.
  try {
    auto out = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, kClientName);
    out->setErrorCallback(CollectError, this);
    out->openPort(static_cast<unsigned>(found - names.begin()), kOutputPort);
    const std::lock_guard outs(outsMutex_);
    extraOuts_.push_back(std::move(out));
  } catch (const RtMidiError& error) {
    return error.getMessage();
  }
  return {};
}
