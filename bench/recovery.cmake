# What one recovery tick costs the window: building the copies of the grid
# and the play list and writing them when they changed.
korvanto_bench(bench_recovery ${CMAKE_CURRENT_LIST_DIR}/RecoveryBench.cpp)
