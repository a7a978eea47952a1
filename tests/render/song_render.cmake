korvanto_test(test_song_render
  ${CMAKE_CURRENT_LIST_DIR}/SongRenderTest.cpp
)
