#pragma once
// How a song's groove moves one hit: swing delays every second step of a
// pair, humanize moves each hit by a draw of its own and makes it quieter by
// another. The draws come from a counter-based hash of the seed, the hit's
// step row and its instrument, so a hit gets the same move live and in every
// render, whatever was played before it.
#include <cstdint>
#include <string>

#include "song/SongSettings.h"

// Where a hit stands in the song.
struct HitSpot {
  std::int64_t songRow = 0;   // step row counted from the sequence's first
  std::int64_t blockRow = 0;  // step row counted from its pattern block's first
  double stepSeconds = 0;     // the step length in force at the row
  std::string instrument;     // GrooveInstrumentKey of the hit's text
};

struct HitGroove {
  double delaySeconds = 0;  // later by this much; earlier when below 0
  int quieterTenthDb = 0;   // this many tenths of a decibel below its level: one of
                            // levels from 0 to the amount, at most 1 dB apart
  bool operator==(const HitGroove&) const = default;
};

HitGroove GrooveOfHit(const Groove& groove, const HitSpot& spot);

// A cell's or chooser item's instrument as the draws know it: the volume
// digit, padding and bracket pair taken off, letter case folded, so a cell
// and the item it names give the same key.
std::string GrooveInstrumentKey(std::string text);

// The draw for (seed, row, instrument, which), spread evenly over 0..2^32-1.
std::uint32_t GrooveDraw(std::uint32_t seed, std::int64_t row, const std::string& instrument,
                         std::uint32_t which);

// The most a hit moves earlier: live playback makes each step's plays this
// much ahead so an early hit still sounds where it was placed.
double GrooveLeadSeconds(const Groove& groove);

// A seed for a song turning humanize on for the first time: 1..Groove::kMostSeed.
std::uint32_t FreshGrooveSeed();
