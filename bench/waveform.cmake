# Drawing a long sound's waveform: the first draw computes its peaks, later
# draws reduce them to the width. Argument: minutes of sound (default 10).
if(KORVANTO_GUI)
  korvanto_bench(bench_waveform ${CMAKE_CURRENT_LIST_DIR}/WaveformBench.cpp)
  target_link_libraries(bench_waveform PRIVATE korvanto_gui)
endif()
