# The JACK output against a private server; the sound layer's parts it uses.
korvanto_test(test_jack_parts
  ${CMAKE_CURRENT_LIST_DIR}/RateBridgeTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VoiceGroupsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MixerGroupsTest.cpp
)
if(KORVANTO_GUI)
  korvanto_test(test_jack GUI
    ${CMAKE_CURRENT_LIST_DIR}/JackOutputTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JackTransportTest.cpp
  )
endif()
