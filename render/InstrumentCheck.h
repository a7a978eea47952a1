#pragma once
// A song whose cells name instruments the kit lacks: those cells stay
// silent, and the user is told which instruments they are, all in one
// message. A song that would be silent altogether because of them is not
// rendered at all.
#include <functional>
#include <string>
#include <vector>

#include "common/Text.h"

class InstrumentTable;

// "The kit has no instrument named 'Cowbell', 'Clap': their steps stay
// silent."
std::string MissingInstrumentsMessage(const std::vector<std::string>& names);

// Tells the message when instruments are missing; raises Exception with
// the missing names instead when used (the instruments found) is empty.
void CheckInstruments(const Lines& sequence, const InstrumentTable& chooser,
                      const std::vector<int>& used,
                      const std::function<void(const std::string&)>& tell);
