# The installed program: the desktop entry, icons, file types, AppStream
# metadata, the manual page and the shared content.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(GZIP gzip REQUIRED)
set(desktop ${CMAKE_CURRENT_SOURCE_DIR}/desktop)
set(icon ${desktop}/korvanto.svg)

# The icon is drawn once, as SVG; its bitmaps are made from it.
set(icon_sizes 48 256)
set(icon_pngs)
foreach(size ${icon_sizes})
  set(png ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/korvanto.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${icon}
    DEPENDS ${icon})
  list(APPEND icon_pngs ${png})
endforeach()

# The manual page, compressed as Debian keeps them.
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/korvanto.1.in ${CMAKE_CURRENT_BINARY_DIR}/korvanto.1 @ONLY)
set(man_page ${CMAKE_CURRENT_BINARY_DIR}/korvanto.1.gz)
add_custom_command(OUTPUT ${man_page}
  COMMAND ${GZIP} -9 -n -c ${CMAKE_CURRENT_BINARY_DIR}/korvanto.1 > ${man_page}
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/korvanto.1)
add_custom_target(desktop_files ALL DEPENDS ${icon_pngs} ${man_page})

set(share ${CMAKE_INSTALL_DATADIR})
install(DIRECTORY ${shared_dir} DESTINATION ${share})
install(FILES ${desktop}/korvanto.desktop DESTINATION ${share}/applications)
install(FILES ${icon} DESTINATION ${share}/icons/hicolor/scalable/apps)
foreach(size ${icon_sizes})
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/korvanto.png
          DESTINATION ${share}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${desktop}/korvanto.xml DESTINATION ${share}/mime/packages)
install(FILES ${desktop}/korvanto.metainfo.xml DESTINATION ${share}/metainfo)
install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
