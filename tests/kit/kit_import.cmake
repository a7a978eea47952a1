# Kits of other programs: the rules core keeps (SFZ, names, layers, paths).
korvanto_test(test_kit_import_rules
  ${CMAKE_CURRENT_LIST_DIR}/KitImportRulesTest.cpp
)
# The import from the command line and the menu, with the XML reader and the
# archive unpacker the program installs; one test runs the program itself.
if(KORVANTO_GUI)
  korvanto_test(test_kit_import GUI
    ${CMAKE_CURRENT_LIST_DIR}/KitImportTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KitImportMenuTest.cpp
  )
  add_dependencies(test_kit_import default_kit korvanto)
  target_link_libraries(test_kit_import PRIVATE korvanto_sndfile PkgConfig::SNDFILE)
endif()
