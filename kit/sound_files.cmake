# Sound files of every format: the decoder and encoder ports and the rule
# that decides what is decoded (core), and the libsndfile decoder and encoder
# behind the ports, kept in a library of their own so that core stays on the
# standard library.
target_sources(korvanto_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SoundDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SoundEncoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DecodeWatch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DecodeToWav.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SoundImport.cpp
)
find_package(PkgConfig REQUIRED)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET GLOBAL sndfile)
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET GLOBAL libmpg123)
add_library(korvanto_sndfile STATIC ${CMAKE_CURRENT_LIST_DIR}/SndFileDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Mpg123Decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SndFileEncoder.cpp)
# Beside the core library, where the fuzz script links both.
set_target_properties(korvanto_sndfile PROPERTIES ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_libraries(korvanto_sndfile PUBLIC korvanto_core PRIVATE PkgConfig::SNDFILE PkgConfig::MPG123)
if(KORVANTO_GUI)
  target_link_libraries(korvanto_gui PUBLIC korvanto_sndfile)
endif()
