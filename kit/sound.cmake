# The sound layer: software device, mixer, outputs, kit and streamed playback.
target_sources(korvanto_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/DirectX.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SoundFormat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OutputClock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DevicePace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MixerVoice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Mixer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VoicePool.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AudioOutput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CaptureOutput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DXClass.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SoundWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DXSounds.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DXWaveList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AudioStreamNotify.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AudioStream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MetronomeClick.cpp
)
if(KORVANTO_GUI)
  target_sources(korvanto_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/SdlAudioOutput.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SoundSettings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Preferences.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SequencerPreferences.cpp
  )
endif()
