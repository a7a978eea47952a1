# The beat at midi_out (notes and clock), following a clock, MIDI control.
target_sources(korvanto_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/HitNotes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiClockOut.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiBeatOut.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ClockFollower.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiControlMap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiControl.cpp
)
if(KORVANTO_GUI)
  target_sources(korvanto_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/MidiBeatSettingsStore.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MidiBeatPreferences.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MidiBeatLink.cpp
  )
endif()
