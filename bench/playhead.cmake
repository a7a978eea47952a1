# The playhead against the sound heard: highlight lag at a 60 Hz reading.
# Argument: seconds of playing (default 20).
korvanto_bench(bench_playhead ${CMAKE_CURRENT_LIST_DIR}/PlayheadBench.cpp)
