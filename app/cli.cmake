# The command line (render without windows) is core code.
target_sources(korvanto_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandHelp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandSignals.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RenderCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExportCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TerminalProgress.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KitCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PatternCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HomeFolder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgramHome.cpp
)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp TARGET_DIRECTORY korvanto_core
  PROPERTIES COMPILE_DEFINITIONS "KORVANTO_VERSION=\"${PROJECT_VERSION}\"")
# An installed program finds its shared content (the default kit, Blank.wav,
# the demo songs) relative to its own folder, so the prefix can move.
file(RELATIVE_PATH shared_from_program ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/korvanto)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/ProgramHome.cpp TARGET_DIRECTORY korvanto_core
  PROPERTIES COMPILE_DEFINITIONS "KORVANTO_SHARED_FROM_PROGRAM=\"${shared_from_program}\"")
