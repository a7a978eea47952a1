korvanto_test(test_sound
  ${CMAKE_CURRENT_LIST_DIR}/SoundBufferTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MixerTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MeterTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DXSoundTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AudioStreamTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThreadedSoundTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DevicePaceTest.cpp
)

# The SDL output lives in the window library; its test is a program of its own.
if(KORVANTO_GUI)
  korvanto_test(test_sdl_output ${CMAKE_CURRENT_LIST_DIR}/SdlAudioOutputTest.cpp)
  target_link_libraries(test_sdl_output PRIVATE korvanto_gui)
endif()
