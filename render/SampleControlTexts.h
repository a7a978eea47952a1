#pragma once
// What the sample editor's bars say about their values: a short text beside
// each bar and a spoken one for its tool tip and screen readers.
#include <cstdint>
#include <string>

struct ControlValueText {
  std::string shown;   // "22050 Hz -12.0 st"
  std::string spoken;  // "Pitch: 22050 Hz, -12.0 semitones from the file's 44100 Hz"
};

// Semitones of frequency above (+) or below (-) fileRate, to one decimal.
std::string SemitonesText(int64_t frequency, int64_t fileRate);
// The frequency and, once a file gives its own rate, the semitones from it.
ControlValueText PitchText(int64_t frequency, int64_t fileRate);
// The Volume bar counts whole decibels below full: -12 is "-12 dB".
ControlValueText VolumeText(int volumeBar);
// The Pan bar's -40 .. 40 as 100 % left .. 100 % right.
ControlValueText PanText(int panBar);
