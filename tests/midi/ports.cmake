# The ports on a private JACK server, alone and on the sound's client, the
# notes sounding through a captured output and through JACK, and the
# windows' MIDI: Record, Learn, Preferences.
if(KORVANTO_GUI)
  korvanto_test(test_midi_ports GUI
    ${CMAKE_CURRENT_LIST_DIR}/MidiPortsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NotesToSoundTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OneJackClientTest.cpp
  )
  korvanto_test(test_midi_windows GUI
    ${CMAKE_CURRENT_LIST_DIR}/MidiWindowsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MidiOptionProgramTest.cpp
  )
  # The windows start from the default kit; the option is tried on the program.
  add_dependencies(test_midi_windows korvanto default_kit)
endif()
