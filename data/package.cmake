# "make deb": a Debian package of the installed program, made by CPack, with
# the copyright file and changelog data/doc.cmake installs. Its
# Depends come from the libraries the program links (dpkg-shlibdeps): on
# Debian 12 Qt 6, SDL2, libsndfile and libmpg123 with the C and C++ runtimes.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvanto)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Korvanto developers <korvanto@example.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "drum machine and beat sequencer")
# Lines of at most 80 characters, as Debian's policy has them.
set(CPACK_PACKAGE_DESCRIPTION
    "Korvanto builds drum patterns on a step grid, strings them into songs,
plays them through the sound card and renders them into WAV or FLAC files,
stems or MIDI files. Sounds come from drum kits and from 32 sample slots
that play sound files of the user's choice.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
