# JACK on a private server: trigger-to-sound at 128 and 256 frames, xruns.
if(KORVANTO_GUI)
  korvanto_bench(bench_jack ${CMAKE_CURRENT_LIST_DIR}/JackBench.cpp)
  target_link_libraries(bench_jack PRIVATE korvanto_gui)
  target_include_directories(bench_jack PRIVATE ${CMAKE_SOURCE_DIR}/tests)
endif()
