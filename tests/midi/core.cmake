korvanto_test(test_midi_core
  ${CMAKE_CURRENT_LIST_DIR}/MidiStreamParserTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiNoteMapTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecordPlacementTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NoteInboxTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiSendQueueTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiChoiceTest.cpp
)
