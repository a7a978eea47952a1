#include "render/SampleControlTexts.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

std::string Fixed1(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%+.1f", value);
  return text;
}

// 2.5 % steps: whole figures without a decimal, halves with one.
std::string Percent(int panBar) {
  const int tenths = std::abs(panBar) * 25;
  std::string text = std::to_string(tenths / 10);
  if (tenths % 10) text += "." + std::to_string(tenths % 10);
  return text + " %";
}

}  // namespace

std::string SemitonesText(int64_t frequency, int64_t fileRate) {
  if (frequency <= 0 || fileRate <= 0) return "";
  double semitones = 12.0 * std::log2(static_cast<double>(frequency) / fileRate);
  // A step rounded to whole hertz is still that step, never "-0.0".
  semitones = std::round(semitones * 10.0) / 10.0;
  if (semitones == 0.0) return "0.0";
  return Fixed1(semitones);
}

ControlValueText PitchText(int64_t frequency, int64_t fileRate) {
  const std::string hertz = std::to_string(frequency) + " Hz";
  const std::string semitones = SemitonesText(frequency, fileRate);
  if (semitones.empty()) return {hertz, "Pitch: " + hertz};
  return {hertz + " " + semitones + " st", "Pitch: " + hertz + ", " + semitones +
                                               " semitones from the file's " +
                                               std::to_string(fileRate) + " Hz"};
}

ControlValueText VolumeText(int volumeBar) {
  const std::string decibels = std::to_string(volumeBar) + " dB";
  return {decibels, "Volume: " + decibels};
}

ControlValueText PanText(int panBar) {
  if (panBar == 0) return {"Centre", "Pan: centre"};
  const std::string side = panBar < 0 ? "left" : "right";
  return {(panBar < 0 ? "L " : "R ") + Percent(panBar), "Pan: " + Percent(panBar) + " " + side};
}
