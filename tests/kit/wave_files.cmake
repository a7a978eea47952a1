# Wave data, RIFF reading, the kit collection and kit library files, the default kit.
korvanto_test(test_kit_files
  ${CMAKE_CURRENT_LIST_DIR}/WaveTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaveStreamTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaveCollectionTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KitFileTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DefaultKitTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FuzzFindingsTest.cpp
)
# The default kit tests read what kitsynth wrote into the build folder.
if(TARGET default_kit)
  add_dependencies(test_kit_files default_kit)
endif()
