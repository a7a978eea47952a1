# The Kit List's mixer: level meters' motion (core) and their widgets.
target_sources(korvanto_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MeterBallistics.cpp
)
if(KORVANTO_GUI)
  target_sources(korvanto_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/LevelMeter.h ${CMAKE_CURRENT_LIST_DIR}/LevelMeter.cpp
  )
endif()
