#pragma once
// What a song holds beyond its play list and slots: its groove (swing and
// humanize) and its mix (level, mute and solo per kit instrument). The song
// file keeps them after the 32 slot blocks, in lines beginning "<*" that
// the slot reader passes over, so older readers open the file; a song with
// neither writes no such line and its file stays as it always was.
#include <cstdint>
#include <map>
#include <string>

#include "common/Text.h"

struct Groove {
  static constexpr int kMostSwing = 75;  // percent of a step
  static constexpr int kMostTimingMs = 20;
  static constexpr int kMostLoudnessTenthDb = 60;
  int swingPercent = 0;     // every second step of a pair is late by this share of a step
  int timingMs = 0;         // humanize: the most a hit moves either way
  int loudnessTenthDb = 0;  // humanize: the most a hit's level moves either way
  static constexpr int kMostSeed = 2147483647;
  std::uint32_t seed = 0;  // the hits' random draws, the same every render; 0..kMostSeed
  bool IsPlain() const { return swingPercent == 0 && timingMs == 0 && loudnessTenthDb == 0; }
  bool operator==(const Groove&) const = default;
};

struct InstrumentMix {
  static constexpr int kSilent = -100000;  // −inf dB
  static constexpr int kMostLevel = 600;   // +6 dB, in hundredths
  int levelCentiDb = 0;
  bool mute = false;
  bool solo = false;
  bool IsPlain() const { return levelCentiDb == 0 && !mute && !solo; }
  bool operator==(const InstrumentMix&) const = default;
};

// By the instrument's name as the chooser shows it, padding cut.
using KitMix = std::map<std::string, InstrumentMix>;

struct SongSettings {
  Groove groove;
  KitMix mix;  // plain entries are not kept
  bool IsPlain() const;
  bool operator==(const SongSettings&) const = default;
};

// "<*groove SWING TIMING_MS LOUDNESS_TENTH_DB SEED" when the groove is not
// plain, then "<*mix LEVEL MUTE SOLO NAME" per instrument that is not.
Lines SongSettingsLines(const SongSettings& settings);
// From the lines after the slot blocks: lines it does not know are passed
// over (a later program's), values out of range are held to it; a known line
// with a number that isn't one raises ELineError, its line counted from
// firstIndex (the first line's index in the file, from 0).
SongSettings ParseSongSettings(const Lines& lines, std::int64_t firstIndex);
