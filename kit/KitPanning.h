#pragma once
// Pans and volumes of the kit's instruments by chooser position: applied from
// the panning table at start-up, written back at close, and carried over to
// a newly imported kit.
#include <optional>
#include <string>
#include <vector>

#include "kit/InstrumentTable.h"
#include "kit/PanningTable.h"

class TWaveCollection;

// Positions 1 .. 16: each kit instrument gets its line's pan. Positions past
// the kit's last entry and lines that were not numbers are left alone.
void ApplyPanningTable(const PanningTable& table, const InstrumentTable& chooser,
                       TWaveCollection& kit);

// The 17 values to write at close: 0 for an empty item or a position without
// a kit entry, else the entry's pan. When the kit never loaded, the values
// read at start-up are kept instead, so a failed load loses nothing.
std::vector<int> ComposePanningTable(const InstrumentTable& chooser, const TWaveCollection& kit,
                                     bool kitLoaded, const PanningTable& readAtStartUp);

struct PositionSettings {
  int pan = 0;
  int volume = 0;
};

// The pan and volume of the kit instruments at positions 1 .. 16, by position.
std::vector<std::optional<PositionSettings>> RememberByPosition(const InstrumentTable& chooser,
                                                                const TWaveCollection& kit);
// Gives the instruments of the new kit the settings of the same positions.
void RestoreByPosition(const std::vector<std::optional<PositionSettings>>& settings,
                       const InstrumentTable& chooser, TWaveCollection& kit);

// The settings with the pans given for positions 1 .. 16 (pans[k], when it
// holds one); the volumes stay.
std::vector<std::optional<PositionSettings>> WithPans(
    std::vector<std::optional<PositionSettings>> settings,
    const std::vector<std::optional<int>>& pans);
// The same with a panning table's lines 1 .. 16.
std::vector<std::optional<PositionSettings>> WithPans(
    std::vector<std::optional<PositionSettings>> settings, const PanningTable& table);
