# Following a transport: its decisions, the song's bars and beats, and the
# song started at a transport's position.
korvanto_test(test_transport
  ${CMAKE_CURRENT_LIST_DIR}/TransportFollowerTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SongTimelineTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SongFromTransportTest.cpp
)
