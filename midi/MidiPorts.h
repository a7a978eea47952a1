#pragma once
// Korvanto's MIDI client "Korvanto": the input port midi_in and the output
// port midi_out, on JACK (on the sound's client while the sound plays through
// JACK, else a client of their own; messages placed by frame) or
// on the ALSA sequencer (through RtMidi, messages sent by a thread that waits
// for their due time), for other programs, aconnect and jack_connect to
// connect to. Every short message that arrives goes to the listeners, stamped
// with the steady-clock time it arrived.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "midi/JackMidiClient.h"
#include "midi/MidiEvent.h"
#include "midi/MidiSendQueue.h"
#include "midi/MidiStreamParser.h"
#include "midi/MidiSystem.h"

class RtMidiIn;
class RtMidiOut;

class MidiPorts : public MidiSender {
 public:
  static constexpr char kClientName[] = "Korvanto";
  static constexpr char kInputPort[] = "midi_in";
  static constexpr char kOutputPort[] = "midi_out";

  // The listeners must outlive the ports' being open.
  explicit MidiPorts(std::vector<MidiListener*> listeners = {});
  ~MidiPorts() override;
  MidiPorts(const MidiPorts&) = delete;
  MidiPorts& operator=(const MidiPorts&) = delete;

  // Only while closed.
  void AddListener(MidiListener* listener);

  // Opens both ports on the API (closing any open before); None opens
  // nothing. Returns what failed, empty when both opened.
  std::string Open(MidiSystem api);
  void Close();
  MidiSystem Api() const { return api_; }
  bool IsOpen() const { return in_ != nullptr || out_ != nullptr || jack_.IsOpen(); }

  // Other programs' ports, as the API names them: those midi_in can hear
  // (sources) and those midi_out can play (targets).
  std::vector<std::string> Sources() const;
  std::vector<std::string> Targets() const;
  // Connects the named ports to midi_in and midi_out to the named targets.
  // Ports that aren't there now are left; the message names them.
  std::string Connect(const std::vector<std::string>& sources,
                      const std::vector<std::string>& targets);

  // Any thread: sends at the due time (steady clock ns, 0 at once). Nothing
  // while midi_out is not open.
  void SendAt(int64_t dueNs, std::span<const uint8_t> bytes) override;

  // Messages heard since the ports opened.
  int64_t Heard() const { return heard_.load(std::memory_order_relaxed); }
  int64_t Sent() const;

  // Called by the input thread (RtMidi's or JACK's).
  struct Input;
  void Deliver(Input& input, std::span<const uint8_t> bytes, int64_t timeNs);
  // RtMidi's errors, from any of its threads.
  void AddError(const std::string& text);

 private:
  std::string ConnectSource(const std::string& source);
  std::string ConnectTarget(const std::string& target);
  std::string TakeErrors();
  std::string OpenAlsa();
  // An RtMidi input on the ALSA sequencer that hears as midi_in does.
  std::unique_ptr<Input> MakeAlsaInput();
  std::string OpenJack();

  std::vector<MidiListener*> listeners_;
  MidiSystem api_ = MidiSystem::None;
  std::unique_ptr<Input> in_;
  std::vector<std::unique_ptr<Input>> extraIns_;  // ALSA: one per source connected
  std::unique_ptr<RtMidiOut> out_;
  JackMidiClient jack_;
  MidiStreamParser jackParser_;  // JACK's process thread only
  std::mutex outsMutex_;         // extraOuts_, as the sending thread reads them
  std::vector<std::unique_ptr<RtMidiOut>> extraOuts_;  // ALSA: one per target
  mutable std::mutex sendMutex_;                       // send_ while it is made and ended
  std::unique_ptr<MidiSendQueue> send_;
  std::atomic<int64_t> heard_{0};
  std::mutex errorsMutex_;
  std::string errors_;  // RtMidi's errors, collected
};
