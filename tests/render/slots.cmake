# The sample editor's slots and rules.
korvanto_test(test_sample_slots
  ${CMAKE_CURRENT_LIST_DIR}/SemitoneStepsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SampleEditorTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SlotNamesTest.cpp
)
# Slots holding FLAC, Ogg, float and 24-bit files, decoded by libsndfile.
korvanto_test(test_slot_formats
  ${CMAKE_CURRENT_LIST_DIR}/SlotFormatsTest.cpp
)
target_link_libraries(test_slot_formats PRIVATE korvanto_sndfile PkgConfig::SNDFILE)
