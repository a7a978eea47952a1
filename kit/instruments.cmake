# The instrument table, panning and the Kit List and Extra samples windows.
target_sources(korvanto_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/InstrumentTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InstrumentPlay.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PanningTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KitPanning.cpp
)
if(KORVANTO_GUI)
  target_sources(korvanto_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Kit_Listing.h ${CMAKE_CURRENT_LIST_DIR}/Kit_Listing.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Sams.h ${CMAKE_CURRENT_LIST_DIR}/Sams.cpp
  )
endif()
