korvanto_test(test_song_render
  ${CMAKE_CURRENT_LIST_DIR}/RenderCommandTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RenderFlowTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SongRenderTest.cpp
)
# The command-line test renders with the default kit.
add_dependencies(test_song_render default_kit)
