# Sound files of every format: the rule, the decoding into WAV and the
# libsndfile decoder. The tests write their files with libsndfile.
korvanto_test(test_sound_import
  ${CMAKE_CURRENT_LIST_DIR}/SoundImportTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DecodeToWavTest.cpp
)
target_link_libraries(test_sound_import PRIVATE korvanto_sndfile PkgConfig::SNDFILE)
