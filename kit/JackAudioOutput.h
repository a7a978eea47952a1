#pragma once
// The program's sound through a JACK server (jackd, or PipeWire's JACK): one
// client "Korvanto" with the ports out_L and out_R, on the server that
// JACK_DEFAULT_SERVER names (the default one otherwise), never starting one.
// The MIDI ports join the same client while it is open (kit/JackGuest.h).
//
// Every window's sound device is a JackAudioOutput on the one client; its
// process callback sums what each started output renders, at the server's
// block size. Optionally each voice group (a kit entry, and "Samples" for
// everything else) has a port pair of its own, out_L/out_R staying the sum.
// When the server goes away the outputs play on through SDL until it is back.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "kit/AudioOutput.h"
#include "kit/DeviceLossWatch.h"
#include "kit/RateBridge.h"

struct JackLinkOptions {
  bool connectToPlayback = true;  // out_L/out_R to the system's playback when the client opens
  bool groupPorts = false;        // a port pair per voice group
  bool followTransport = true;    // the transport starts, moves and stops the song
  bool timebaseMaster = false;    // the song gives bar, beat and tempo to the transport
  bool operator==(const JackLinkOptions&) const = default;
};

// Where the transport stood at the start of a block, as an output saw it.
struct JackTransportView {
  enum class State { Stopped, Starting, Rolling };
  bool valid = false;
  State state = State::Stopped;
  int64_t position = 0;     // transport frame at the block's first frame
  int64_t outputFrame = 0;  // the output's own frame count at that frame
  int rate = 0;
  uint64_t cycle = 0;  // counts the blocks
};

class JackAudioOutput : public AudioOutput {
 public:
  JackAudioOutput();
  ~JackAudioOutput() override;
  JackAudioOutput(const JackAudioOutput&) = delete;
  JackAudioOutput& operator=(const JackAudioOutput&) = delete;

  bool Open(int preferredRate) override;
  int Rate() const override { return rate_; }
  int PeriodFrames() const override { return period_; }
  bool RealTime() const override { return true; }
  // On the server's cycles (not while a run plays through SDL).
  bool ExactBlockTimes() const override { return exact_; }
  AudioBlock Block() const override { return block_; }
  void Start(Render render) override;
  void Stop() override;

  // Output thread: renders a block at the device's rate, block time and
  // group mixes as given.
  void RenderInto(float* out, int frames, int deviceRate, const AudioBlock& block);
  // The transport as this output's last block met it (any thread).
  JackTransportView Transport() const;
  void NoteTransport(JackTransportView::State state, int64_t position, int rate);
  // The transport waits for this output's song to be placed before it
  // rolls (a slow-sync client), until the server's timeout at most.
  void FollowTransport();
  // While the transport waits to start at position, it is held until the
  // block before outputFrame, then rolls from there (the follower's start).
  void HoldTransportUntil(int64_t position, int64_t outputFrame);
  // Server's thread: whether the transport may roll from position now.
  bool ReadyToRoll(int64_t position, int period) const;
  // This output's frames rendered so far (its own thread).
  int64_t FramesRendered() const { return framesRendered_; }

 private:
  bool opened_ = false;
  bool started_ = false;
  bool exact_ = false;
  int rate_ = 0;
  int period_ = 0;
  Render render_;
  AudioBlock block_;
  RateBridge bridge_;
  int bridgeTo_ = 0;
  int64_t framesRendered_ = 0;  // at the render's rate
  // The last block's transport, under an odd sequence number while written.
  std::atomic<uint64_t> transportSequence_{0};
  std::atomic<int> state_{0};
  std::atomic<int64_t> holdPosition_{-1}, holdFrame_{0};
  std::atomic<int64_t> position_{0}, outputFrame_{0};
  std::atomic<int> transportRate_{0};
  std::atomic<uint64_t> cycles_{0};
};

// The factory that makes JACK outputs.
AudioOutputFactory JackAudioOutputFactory();
// Whether a JACK server answers now (the client is opened and closed again
// when none is open).
bool JackServerAnswers();
class JackGuest;
// Another part's ports (the MIDI ports) on the one client: the guest joins
// it now when it is open and whenever it opens; false when another guest
// holds the place (this one keeps a client of its own). UI thread.
bool AddJackGuest(JackGuest& guest);
// Once it returns no callback calls the guest, and its ports have gone.
void RemoveJackGuest(JackGuest& guest);
// The shared client, for the watch that tells of its loss and opens it again.
LosableDevice& JackSoundDevice();
// Options take effect at once for ports and connections.
void SetJackOptions(const JackLinkOptions& options);
JackLinkOptions CurrentJackOptions();
// A run on JACK moves its sound to SDL's output and back at once; false when
// the client cannot be opened again (the sound stays on SDL).
bool PlayJackThroughSdl(bool throughSdl);
bool JackPlaysThroughSdl();
// xruns the server told of, sample rate changes seen, and the client's
// server rate and block size (0 while no client is open).
int64_t JackXruns();
int64_t JackRateChanges();
int JackRate();
int JackBlockFrames();
// Ends the client at the program's end (any thread); no callback runs after.
void EndJackSoundDevice();
