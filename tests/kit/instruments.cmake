korvanto_test(test_instruments
  ${CMAKE_CURRENT_LIST_DIR}/InstrumentTableTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KitPanningTest.cpp
)
