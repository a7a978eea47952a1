# Wave data, RIFF reading and kit library files.
target_sources(korvanto_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Wave.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaveStream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaveCollection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KitFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BlankWave.cpp
)
