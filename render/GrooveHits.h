#pragma once
// The song's groove on the hits the render found: each hit's time moved by
// swing and humanize (never before the first row) and its humanize
// loudness. A plain groove leaves the hits untouched.
#include <string>
#include <vector>

#include "render/HitTable.h"
#include "song/SongSettings.h"

// instrumentKey: GrooveInstrumentKey of the instrument's chooser item.
void ApplyGroove(std::vector<Hit>& hits, const SongSteps& steps, const Groove& groove,
                 const std::string& instrumentKey);

// The render's gain for a hit this many tenths of a decibel quieter.
double QuieterGain(int quieterTenthDb);
