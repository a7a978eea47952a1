# The windows inside a session manager's session.
korvanto_test(test_session_windows GUI
  ${CMAKE_CURRENT_LIST_DIR}/SessionWindowTest.cpp
)
add_dependencies(test_session_windows default_kit)
