#include "pattern/PatternLoad.h"

#include "common/Exception.h"
#include "pattern/PatternGrid.h"
#include "pattern/SlotAccess.h"
#include "render/SlotShortName.h"

void LoadPatternSlot(const SlotLoad& load, SlotAccess& slots) {
  slots.LoadFile(load.slot, load.path);
  slots.SetBaseFrequency(load.slot, load.frequency);
  slots.SetFrequency(load.slot, load.frequency);
  const std::string caption = SlotShortName(load.path);
  if (caption != "Blank") slots.SetButtonCaption(load.slot, caption);
  slots.MarkHoldingSample();
}

PatternLoad LoadPatternIntoGrid(const std::filesystem::path& path, PatternGrid& grid,
                                SlotAccess& slots) {
  const PatternFileData data = ReadPatternFile(path, true);
  grid.SetRowCount(data.steps + 2);
  PutPatternCells(data, grid);
  PatternLoad result{data.values, {}};
  try {
    for (const SlotLoad& load : data.slotLoads) LoadPatternSlot(load, slots);
  } catch (const Exception& error) {
    result.slotError = error.Message();
  }
  return result;
}
