# Tick lateness and worker CPU of the thread timer, precise wait against the
# old sleep-then-spin wait. Argument: seconds per measurement (default 30).
korvanto_bench(bench_timer ${CMAKE_CURRENT_LIST_DIR}/TimerBench.cpp)
