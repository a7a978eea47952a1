# Kits of other programs: Hydrogen drumkits and SFZ instruments. The SFZ
# reader, the import rules and the readers' port are core; the drumkit.xml
# reader (Qt's XML reader) and the archive unpacker (libarchive) are not.
target_sources(korvanto_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ImportedKit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KitSourceReaders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KitSamplePath.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SfzText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SfzReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KitImportNames.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KitImportSound.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KitImport.cpp
)
if(KORVANTO_GUI)
  target_sources(korvanto_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/DrumkitXml.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KitArchive.cpp
  )
endif()
