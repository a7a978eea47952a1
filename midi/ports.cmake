# The ports themselves: JACK (the sound's client, or one of their own) and the ALSA
# sequencer (through RtMidi); live MIDI in the windows.
if(KORVANTO_GUI)
  target_sources(korvanto_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/MidiPorts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JackPortList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JackMidiClient.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MidiSettings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MidiLive.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SequencerRecord.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MidiPreferencesPage.cpp
  )
endif()
