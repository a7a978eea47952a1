korvanto_bench(bench_wavaudio ${CMAKE_CURRENT_LIST_DIR}/WavAudioBench.cpp)
