# Live MIDI without a port library: messages, the note map, recording, timing.
target_sources(korvanto_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MidiStreamParser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiNoteMap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiMapFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecordPlacement.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NoteInbox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WakeSignal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiSendQueue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiSystem.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiNotePlayer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiChoice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PatternStepHeard.cpp
)
