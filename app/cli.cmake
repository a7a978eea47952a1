# The command line (render without windows) is core code.
target_sources(korvanto_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RenderCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KitCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PatternCommand.cpp
)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp TARGET_DIRECTORY korvanto_core
  PROPERTIES COMPILE_DEFINITIONS "KORVANTO_VERSION=\"${PROJECT_VERSION}\"")
