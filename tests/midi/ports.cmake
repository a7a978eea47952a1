# The ports on a private JACK server, and the notes sounding through a
# captured output.
if(KORVANTO_GUI)
  korvanto_test(test_midi_ports GUI
    ${CMAKE_CURRENT_LIST_DIR}/MidiPortsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NotesToSoundTest.cpp
  )
endif()
