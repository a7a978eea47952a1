# The sample editor's slots and rules.
korvanto_test(test_sample_slots
  ${CMAKE_CURRENT_LIST_DIR}/SemitoneStepsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SampleEditorTest.cpp
)
