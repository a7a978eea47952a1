# The kit maker window and the start-up screen.
korvanto_test(test_kit_maker GUI
  ${CMAKE_CURRENT_LIST_DIR}/KitMakerWindowTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IntroScreenTest.cpp
)
# The tests start from the default kit and Blank.wav the build makes.
if(TARGET default_kit)
  add_dependencies(test_kit_maker default_kit)
endif()
target_link_libraries(test_kit_maker PRIVATE PkgConfig::SNDFILE)
