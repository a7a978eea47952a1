#pragma once
// One playing sound inside the mixer and the loop that adds it to a block.
#include <cstdint>

#include "kit/SoundFormat.h"

struct MixerVoice {
  enum class State : uint8_t { Idle, Scheduled, Playing };

  const uint8_t* data = nullptr;
  uint32_t frames = 0;
  SampleLayout layout;
  uint64_t position = 0;              // source frame, 32.32 fixed point
  uint64_t step = 0;                  // source frames per output frame, 32.32
  float gainLeft = 0, gainRight = 0;  // include the sample format's scale
  bool looping = false;
  State state = State::Idle;
  int64_t startFrame = 0;       // output frame where a scheduled voice begins
  int64_t transportFrame = -1;  // a scheduled voice waiting for the transport's frame
  bool sawRolling = false;      // while waiting, the transport rolled
  uint32_t generation = 0;
  int fadeLeft = 0;    // frames of a fade-out still to play; 0: no fade
  uint16_t meter = 0;  // the level meter it counts towards; 0: none

  uint32_t Cursor() const { return static_cast<uint32_t>(position >> 32); }
};

// Adds frames of the voice to interleaved stereo out, resampling by linear
// interpolation. Returns false when the voice reached the end of its data
// (not looping) and must stop.
bool MixVoice(MixerVoice& voice, float* out, int frames);

// The same for a voice fading out over fadeFrames in all: its gain falls
// frame by frame to exactly 0. Returns false once the fade or the data is over.
bool MixVoiceFading(MixerVoice& voice, float* out, int frames, int fadeFrames);

// Gains of a volume and a pan in hundredths of a decibel; the extremes are silence.
void PanVolumeGains(int32_t volume, int32_t pan, float& left, float& right);
// 32.32 step from a source rate to the output rate.
uint64_t ResampleStep(uint32_t sourceRate, uint32_t outputRate);
