# The kit maker: its rules and its window.
target_sources(korvanto_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/KitMaker.h ${CMAKE_CURRENT_LIST_DIR}/KitMaker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KitExchange.h ${CMAKE_CURRENT_LIST_DIR}/KitExchange.cpp
)
if(KORVANTO_GUI)
  target_sources(korvanto_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/MakeKit.h ${CMAKE_CURRENT_LIST_DIR}/MakeKit.cpp
  )
endif()
