# The package's documents as Debian keeps them: the machine-readable
# copyright file and the changelog, compressed, in share/doc/korvanto.
find_program(DOC_GZIP gzip REQUIRED)
set(debian ${CMAKE_CURRENT_SOURCE_DIR}/debian)
set(changelog_gz ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND ${DOC_GZIP} -9 -n -c ${debian}/changelog > ${changelog_gz}
  DEPENDS ${debian}/changelog)
add_custom_target(package_docs ALL DEPENDS ${changelog_gz})
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/korvanto)
install(FILES ${debian}/copyright ${changelog_gz} DESTINATION ${doc_dir})
