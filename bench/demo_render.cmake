# The demo song's render with the default kit: peak level and clipped samples.
korvanto_bench(bench_demo_render ${CMAKE_CURRENT_LIST_DIR}/DemoRenderBench.cpp)
target_compile_definitions(bench_demo_render PRIVATE KORVANTO_BUILD_KIT="${CMAKE_BINARY_DIR}/kit"
                                                     KORVANTO_DEMO_DIR="${CMAKE_SOURCE_DIR}/data/demo")
add_dependencies(bench_demo_render default_kit)
