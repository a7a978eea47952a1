# Waveforms in the sample editor, the kit maker and the Kit List.
korvanto_test(test_waveform_windows GUI
  ${CMAKE_CURRENT_LIST_DIR}/WaveformWindowTest.cpp
)
# The tests start from the default kit and Blank.wav the build makes.
if(TARGET default_kit)
  add_dependencies(test_waveform_windows default_kit)
endif()
