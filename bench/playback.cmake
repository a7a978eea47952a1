# Onset timing of the whole playback chain: pattern player, timer, hand-over,
# kit and mixer. Argument: seconds of playing (default 30).
korvanto_bench(bench_playback ${CMAKE_CURRENT_LIST_DIR}/PlaybackBench.cpp)
# The same through a private PulseAudio server: run by scripts/pulse-bench
# (make bench), not on its own. It asks the server for its latencies itself.
if(KORVANTO_GUI)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(LIBPULSE REQUIRED IMPORTED_TARGET libpulse)
  add_executable(bench_pulse ${CMAKE_CURRENT_LIST_DIR}/PulseBench.cpp)
  target_link_libraries(bench_pulse PRIVATE korvanto_gui PkgConfig::LIBPULSE)
endif()
