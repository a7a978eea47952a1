# The render window.
korvanto_test(test_render_window GUI
  ${CMAKE_CURRENT_LIST_DIR}/RenderWindowTest.cpp
)
add_dependencies(test_render_window default_kit)
