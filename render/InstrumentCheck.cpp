#include "render/InstrumentCheck.h"

#include "common/Exception.h"
#include "render/HitTable.h"

namespace {

std::string Names(const std::vector<std::string>& names) {
  std::string shown;
  for (const std::string& name : names)
    shown += (shown.empty() ? "'" : ", '") + EscapedText(name) + "'";
  return shown;
}

}  // namespace

std::string MissingInstrumentsMessage(const std::vector<std::string>& names) {
  return "The kit has no instrument named " + Names(names) + ": their steps stay silent.";
}

void CheckInstruments(const Lines& sequence, const InstrumentTable& chooser,
                      const std::vector<int>& used,
                      const std::function<void(const std::string&)>& tell) {
  const std::vector<std::string> missing = MissingInstruments(sequence, chooser);
  if (missing.empty()) return;
  if (used.empty())
    throw Exception("The kit has no instrument named " + Names(missing) +
                    ": the song would be silent, so nothing was written.");
  tell(MissingInstrumentsMessage(missing));
}
