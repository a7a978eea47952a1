# The sound layer's figures: mixer cost, trigger cost, onset timing, underruns.
korvanto_bench(bench_sound_mixer ${CMAKE_CURRENT_LIST_DIR}/SoundMixerBench.cpp)
korvanto_bench(bench_sound_timing ${CMAKE_CURRENT_LIST_DIR}/SoundTimingBench.cpp)
korvanto_bench(bench_meters ${CMAKE_CURRENT_LIST_DIR}/MeterBench.cpp)
