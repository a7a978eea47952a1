# Stems and MIDI file of a 32-minute full-kit song: x realtime and ms. Uses
# the default kit the build synthesises.
korvanto_bench(bench_export ${CMAKE_CURRENT_LIST_DIR}/ExportBench.cpp)
target_compile_definitions(bench_export PRIVATE KORVANTO_BUILD_KIT="${CMAKE_BINARY_DIR}/kit")
add_dependencies(bench_export default_kit)
