# The ports themselves: JACK (a client of Korvanto's own) and the ALSA
# sequencer (through RtMidi).
if(KORVANTO_GUI)
  target_sources(korvanto_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/MidiPorts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JackPortList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JackMidiClient.cpp
  )
endif()
