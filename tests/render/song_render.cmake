korvanto_test(test_song_render
  ${CMAKE_CURRENT_LIST_DIR}/RenderCommandTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandFilesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RenderFlowTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SongRenderTest.cpp
)
# The command-line test renders with the default kit.
add_dependencies(test_song_render default_kit)
# Slots holding other formats than 16-bit WAV are decoded when a song loads.
target_link_libraries(test_song_render PRIVATE korvanto_sndfile PkgConfig::SNDFILE)
# Stems, loop-exact and FLAC renders, MIDI files and collected songs.
korvanto_test(test_exports
  ${CMAKE_CURRENT_LIST_DIR}/ExportsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiExportTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MixExportTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CollectTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GrooveRenderTest.cpp
)
add_dependencies(test_exports default_kit)
target_link_libraries(test_exports PRIVATE korvanto_sndfile PkgConfig::SNDFILE)
# The real program's saves, watched through a preloaded library that logs
# fsync and rename.
if(KORVANTO_GUI)
  add_library(korvanto_sync_log SHARED ${CMAKE_SOURCE_DIR}/tests/support/SyncLog.cpp)
  target_link_libraries(korvanto_sync_log PRIVATE dl)
  korvanto_test(test_safe_writes ${CMAKE_CURRENT_LIST_DIR}/SafeWriteTest.cpp)
  add_dependencies(test_safe_writes korvanto korvanto_sync_log default_kit)
  target_compile_definitions(test_safe_writes PRIVATE
    KORVANTO_SYNC_LOG_LIBRARY="$<TARGET_FILE:korvanto_sync_log>")
endif()
