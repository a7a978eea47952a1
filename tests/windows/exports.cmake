# The File menu's exports: stems, loop-exact renders, MIDI files, collected songs.
korvanto_test(test_export_menu GUI
  ${CMAKE_CURRENT_LIST_DIR}/ExportMenuTest.cpp
)
add_dependencies(test_export_menu default_kit)
