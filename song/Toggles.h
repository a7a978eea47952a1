#pragma once
// The tool bar's three on/off toggles are kept as the image their button shows.
namespace Toggles {
constexpr int kRepeatOff = 3, kRepeatOn = 2;
constexpr int kGlobalSpeedOff = 10, kGlobalSpeedOn = 11;

// Repeat pattern and repeat play list: 3 becomes 2, anything else 3.
constexpr int FlipRepeat(int image) {
  return image == kRepeatOff ? kRepeatOn : kRepeatOff;
}
// Global speed: 10 becomes 11, anything else 10.
constexpr int FlipGlobalSpeed(int image) {
  return image == kGlobalSpeedOff ? kGlobalSpeedOn : kGlobalSpeedOff;
}
constexpr bool RepeatIsOn(int image) {
  return image == kRepeatOn;
}
constexpr bool GlobalSpeedIsOn(int image) {
  return image == kGlobalSpeedOn;
}
}  // namespace Toggles
