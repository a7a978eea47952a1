# Onset timing of the whole playback chain: pattern player, timer, hand-over,
# kit and mixer. Argument: seconds of playing (default 30).
korvanto_bench(bench_playback ${CMAKE_CURRENT_LIST_DIR}/PlaybackBench.cpp)
