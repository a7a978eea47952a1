korvanto_test(test_midi_out
  ${CMAKE_CURRENT_LIST_DIR}/MidiBeatOutTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiClockOutTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ClockFollowerTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiControlTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiBeatSoundTest.cpp
)
if(KORVANTO_GUI)
  korvanto_test(test_midi_beat_windows GUI
    ${CMAKE_CURRENT_LIST_DIR}/MidiBeatWindowTest.cpp
  )
  add_dependencies(test_midi_beat_windows default_kit)
endif()
