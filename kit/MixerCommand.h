#pragma once
// What the UI thread tells the mixer, and what the mixer reports back.
#include <cstdint>

#include "kit/SoundFormat.h"

// Steal: the slot's voice fades out within a few milliseconds on a voice of
// its own, and the slot is free for the next Start.
enum class MixerOp : uint8_t { Start, Stop, SetParams, SetCursor, SetLooping, Steal };

struct MixerCommand {
  MixerOp op = MixerOp::Stop;
  uint16_t slot = 0;
  uint32_t generation = 0;  // Start and SetCursor begin a new generation
  const uint8_t* data = nullptr;
  uint32_t frames = 0;
  SampleLayout layout;
  uint32_t cursor = 0;  // source frame
  bool looping = false;
  uint32_t frequency = 0;
  int32_t pan = 0;
  int32_t volume = 0;
  int32_t mixLevel = 0;  // the song's mix, added to volume
  uint16_t meter = 0;    // the level meter the voice counts towards; 0: none
  // Steady clock time the play stands for (a step's moment); 0: the play is
  // of the moment and starts with the next block.
  int64_t stampNs = 0;
  int64_t frame = -1;  // the output frame a step was placed at; -1: none
  // How long after its stamp (or, on an output that doesn't keep real time,
  // after the block that takes it) a hit sounds: the groove moves it.
  int64_t afterDueNs = 0;
  // A step of a song that follows a transport: it sounds where the
  // transport reaches this frame while rolling; -1: not placed so.
  int64_t transportFrame = -1;
};

// A voice's state as one atomic word: generation, playing bit, cursor frame.
struct VoiceReport {
  uint32_t generation = 0;
  bool playing = false;
  uint32_t cursor = 0;

  static uint64_t Pack(uint32_t generation, bool playing, uint32_t cursor) {
    return (uint64_t(generation) << 32) | (uint64_t(playing) << 31) | (cursor & 0x7FFFFFFFu);
  }
  static VoiceReport Unpack(uint64_t word) {
    return {static_cast<uint32_t>(word >> 32), ((word >> 31) & 1) != 0,
            static_cast<uint32_t>(word & 0x7FFFFFFFu)};
  }
};
