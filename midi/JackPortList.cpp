#include "midi/JackPortList.h"

#include <jack/jack.h>

namespace {
// A client for one look or one connection, closed when it goes.
class ShortClient {
 public:
  ShortClient() {
    jack_status_t status{};
    client_ = jack_client_open("Korvanto port list", JackNoStartServer, &status);
  }
  ~ShortClient() {
    if (client_) jack_client_close(client_);
  }
  ShortClient(const ShortClient&) = delete;
  ShortClient& operator=(const ShortClient&) = delete;
  jack_client_t* get() const { return client_; }

 private:
  jack_client_t* client_ = nullptr;
};

std::vector<std::string> Ports(jack_client_t* client, unsigned long flags) {
  std::vector<std::string> names;
  if (!client) return names;
  const char** ports = jack_get_ports(client, nullptr, JACK_DEFAULT_MIDI_TYPE, flags);
  if (!ports) return names;
  for (const char** port = ports; *port; ++port) names.emplace_back(*port);
  jack_free(ports);
  return names;
}
}  // namespace

std::vector<std::string> JackMidiPorts(bool outputs) {
  const ShortClient client;
  return Ports(client.get(), outputs ? JackPortIsOutput : JackPortIsInput);
}
