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
# Fallbacks for when the test runs without KORVANTO_SOURCE_DIR / KORVANTO_BUILD_DIR.
target_compile_definitions(test_kit_files PRIVATE
  KIT_TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}" KIT_TEST_BUILD_DIR="${CMAKE_BINARY_DIR}")
