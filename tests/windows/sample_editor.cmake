# The sample editor window.
korvanto_test(test_sample_editor GUI
  ${CMAKE_CURRENT_LIST_DIR}/SampleEditorWindowTest.cpp
)
