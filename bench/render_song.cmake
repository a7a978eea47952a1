# The command-line render of a 32-minute and a full-kit song: x realtime and
# peak resident memory. Uses the default kit the build synthesises.
korvanto_bench(bench_render_song ${CMAKE_CURRENT_LIST_DIR}/RenderSongBench.cpp)
target_compile_definitions(bench_render_song PRIVATE KORVANTO_BUILD_KIT="${CMAKE_BINARY_DIR}/kit")
add_dependencies(bench_render_song default_kit)
