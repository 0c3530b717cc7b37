# Installation like any Linux program, and a Debian package of it (cpack -G DEB).
#
# harvelo starts its companions from its own folder, so the three live together in
# libexec/harvelo; bin holds harvelo (a link: the program folder is the link's target's),
# the browser launcher and the dry run.
include(GNUInstallDirs)
set(HARVELO_PROGRAM_FOLDER ${CMAKE_INSTALL_LIBEXECDIR}/harvelo)

install(TARGETS harvelo Haulbeam Tellora DESTINATION ${HARVELO_PROGRAM_FOLDER})
install(TARGETS harvelo-browser harvelo-inspect DESTINATION ${CMAKE_INSTALL_BINDIR})
file(RELATIVE_PATH program_from_bin /${CMAKE_INSTALL_BINDIR} /${HARVELO_PROGRAM_FOLDER}/harvelo)
install(CODE "
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(CREATE_LINK ${program_from_bin}
       \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/harvelo\" SYMBOLIC)")

install(FILES data/applications/harvelo.desktop data/applications/harvelo-browser.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/icons/harvelo.svg data/icons/haulbeam.svg data/icons/tellora.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES README.md docs/message-channel.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/harvelo)

# Man pages, compressed as Debian keeps them.
foreach(page harvelo harvelo-browser harvelo-inspect Haulbeam Tellora)
  set(compressed ${PROJECT_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/data/man/${page}.1 > ${compressed}
    DEPENDS ${PROJECT_SOURCE_DIR}/data/man/${page}.1 VERBATIM)
  list(APPEND man_pages ${compressed})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME harvelo)
set(CPACK_PACKAGE_VENDOR "The Harvelo developers")
set(CPACK_PACKAGE_CONTACT "The Harvelo developers <harvelo@users.noreply.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "collect the pictures and movies of the web page on screen")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Harvelo works on the page shown in a Chromium-family browser: it collects the\n\
addresses of the pictures and movies that the page offers, respects the page's robots\n\
exclusion, asks for the save folder and hands every address to its download program,\n\
Haulbeam. harvelo-browser starts the browser ready for it.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The X11 platform plugin of Qt, which no library links against.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "chromium | google-chrome-stable | microsoft-edge-stable | brave-browser | firefox-esr | firefox")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
