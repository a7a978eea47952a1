korvanto_test(test_midi_out
  ${CMAKE_CURRENT_LIST_DIR}/MidiBeatOutTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiClockOutTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiBeatSoundTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ClockFollowerTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiControlTest.cpp
)
