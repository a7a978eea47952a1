# The JACK output: a client with its ports, its transport and timebase; the
# voice groups and the rate bridge it uses are plain sound-layer code.
target_sources(korvanto_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/RateBridge.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VoiceGroups.cpp
)
if(KORVANTO_GUI)
  target_sources(korvanto_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/JackAudioOutput.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JackTimebase.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JackTransportLink.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JackPreferences.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StudioOutputs.cpp
  )
endif()
