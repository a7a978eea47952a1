#pragma once
// Ports of another part of the program (the MIDI ports) that ride on the
// sound's JACK client while it is open, so that all of Korvanto's ports are
// on the one client "Korvanto". While the sound has no client, the guest
// keeps a client of its own under the same name.
//
// The sound's device calls these on the thread that opens and closes its
// client (the UI thread), except ProcessCycle and ServerLost.
#include <jack/jack.h>

class JackGuest {
 public:
  virtual ~JackGuest() = default;
  // The sound's client is about to open: a client of the guest's own closes
  // first (its connections kept), so the name is free.
  virtual void HostOpening() = 0;
  // The sound's client is open and running: the guest registers its ports
  // on it.
  virtual void Join(jack_client_t* client) = 0;
  // The callback serves the guest's ports from now on: it connects them
  // again (once a cycle has written them: a new port may hold an old one's
  // last messages).
  virtual void Served() = 0;
  // The process thread, once a cycle, before the outputs are mixed: no
  // locks, no allocation.
  virtual void ProcessCycle(jack_nframes_t frames) = 0;
  // JACK's thread: the server went away under the sound's client.
  virtual void ServerLost() = 0;
  // The sound's client is about to close, the callback still serving the
  // guest: it keeps its connections and disconnects its ports (a port no
  // cycle writes would give its peers its last messages again).
  virtual void Leave() = 0;
  // No ProcessCycle runs any more: the guest's ports go.
  virtual void Left() = 0;
  // The sound's client closed by choice (the server still runs): the guest
  // opens a client of its own again.
  virtual void HostClosed() = 0;
};
