#pragma once
// The JACK MIDI ports there are, looked up by a short-lived client of its own,
// so that they can be listed whether Korvanto's own client is open or not.
#include <string>
#include <vector>

// Every MIDI port of the server that sends (outputs) or takes (inputs) MIDI;
// none when no server runs.
std::vector<std::string> JackMidiPorts(bool outputs);
