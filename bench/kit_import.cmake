# Importing a drumkit needs the XML reader of the windows' library.
if(KORVANTO_GUI)
  korvanto_bench(bench_kit_import ${CMAKE_CURRENT_LIST_DIR}/KitImportBench.cpp)
  target_link_libraries(bench_kit_import PRIVATE korvanto_gui PkgConfig::SNDFILE)
endif()
