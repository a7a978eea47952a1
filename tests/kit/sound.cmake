korvanto_test(test_sound
  ${CMAKE_CURRENT_LIST_DIR}/SoundBufferTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MixerTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DXSoundTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AudioStreamTest.cpp
)
