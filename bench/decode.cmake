korvanto_bench(bench_decode ${CMAKE_CURRENT_LIST_DIR}/DecodeBench.cpp)
target_link_libraries(bench_decode PRIVATE korvanto_sndfile PkgConfig::SNDFILE)
