#pragma once
// The kit as the live MIDI benches play it: the blank entry and a kick of a
// constant level, 2 ms long, on the output a factory makes, with the note
// map and player the program's MIDI input uses.
#include <cstdint>
#include <cstring>
#include <vector>

#include "common/ManualUiThread.h"
#include "kit/DXWaveList.h"
#include "kit/InstrumentTable.h"
#include "kit/Mixer.h"
#include "kit/Wave.h"
#include "midi/MidiNotePlayer.h"
#include "midi/NoteInbox.h"
#include "song/KitPlaybackSound.h"

struct MidiKitRig {
  static constexpr int kRate = 48000;
  static constexpr int kLevel = 16000;

  ManualUiThread ui;
  SoundWindow window{5};
  TDXSound device{&window};
  TDXWaveList kit{ui};
  InstrumentTable chooser;
  KitPlaybackSound sound{chooser, kit, device};
  MidiNoteMap map;
  MidiNotePlayer player{chooser, map, sound};

  explicit MidiKitRig(AudioOutputFactory factory) {
    SetAudioOutputFactory(std::move(factory));
    device.Initialize();
    kit.Items.Add();
    auto& kick = kit.Items.Add();
    kick.SetName("Kick      [ ]");
    Wave::TWave wave;
    wave.SetFormat(Wave::MakePcmFormat(kRate, 16, 2));
    const std::vector<int16_t> samples(2 * 96, kLevel);
    wave.SetSize(static_cast<int32_t>(samples.size() * 2));
    std::memcpy(wave.Data(), samples.data(), samples.size() * 2);
    kick.SetWave(std::move(wave));
    kit.SetDXSound(&device);
    chooser.Rebuild(kit.Items);
    map.Rebuild(chooser);
  }
  ~MidiKitRig() {
    kit.SetDXSound(nullptr);
    device.Finalize();
    SetAudioOutputFactory(nullptr);
  }
  MidiKitRig(const MidiKitRig&) = delete;
  MidiKitRig& operator=(const MidiKitRig&) = delete;

  Mixer& mixer() { return device.DSound()->mixer(); }
  // Sounds what waits, as the UI thread's wake-up does.
  int Take(NoteInbox& inbox, std::vector<NoteHeard>* played = nullptr) {
    const int taken = inbox.Drain([&](const NoteHeard& note) {
      player.Play(note);
      if (played) played->push_back(note);
    });
    kit.Sweep();
    ui.ProcessPending();
    return taken;
  }
};
