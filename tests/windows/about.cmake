# Help › About Korvanto.
korvanto_test(test_about_box GUI
  ${CMAKE_CURRENT_LIST_DIR}/AboutBoxTest.cpp
)
add_dependencies(test_about_box default_kit)
