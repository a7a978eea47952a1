# The kit maker's rules, listening through its stream and playing a kit it made.
korvanto_test(test_kit_maker_rules
  ${CMAKE_CURRENT_LIST_DIR}/KitMakerTest.cpp
)
# The tests start from the default kit and Blank.wav the build makes.
if(TARGET default_kit)
  add_dependencies(test_kit_maker_rules default_kit)
endif()
target_link_libraries(test_kit_maker_rules PRIVATE korvanto_sndfile PkgConfig::SNDFILE)
