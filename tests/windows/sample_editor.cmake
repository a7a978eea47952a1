# The sample editor window.
korvanto_test(test_sample_editor GUI
  ${CMAKE_CURRENT_LIST_DIR}/SampleEditorWindowTest.cpp
)
target_link_libraries(test_sample_editor PRIVATE PkgConfig::SNDFILE)
