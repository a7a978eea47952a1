# Onset timing of the whole playback chain: pattern player, timer, hand-over,
# kit and mixer. Argument: seconds of playing (default 30).
korvanto_bench(bench_playback ${CMAKE_CURRENT_LIST_DIR}/PlaybackBench.cpp)
# The same through a private PulseAudio server: run by scripts/pulse-bench
# (make bench), not on its own.
if(KORVANTO_GUI)
  add_executable(bench_pulse ${CMAKE_CURRENT_LIST_DIR}/PulseBench.cpp)
  target_link_libraries(bench_pulse PRIVATE korvanto_gui)
endif()
