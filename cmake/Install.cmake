# What `cmake --install` puts under the prefix: the two programs, the desktop entry, the icon
# in every size, the AppStream description and the manual pages. A Debian package is made
# from the same tree by CPack (`cpack -G DEB` in the build folder).
include(GNUInstallDirs)

if(TARGET orvello)
    install(TARGETS orvello RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    set(ORVELLO_APP_ID org.orvello.Orvello)
    install(FILES data/${ORVELLO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES data/${ORVELLO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES data/icons/${ORVELLO_APP_ID}.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    foreach(size 16 32 48 64 128 256)
        install(FILES data/icons/${size}x${size}/${ORVELLO_APP_ID}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    install(FILES docs/man/orvello.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
if(TARGET orvello-arc)
    install(TARGETS orvello-arc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES docs/man/orvello-arc.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_PACKAGE_NAME orvello)
set(CPACK_PACKAGE_VENDOR "The Orvello developers")
set(CPACK_PACKAGE_CONTACT "The Orvello developers <orvello@orvello.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "front-end for console and arcade emulators")
set(CPACK_PACKAGE_DESCRIPTION
    "Orvello keeps, for twelve console and arcade emulators, where each program and its\n"
    "games live, turns each emulator's options into its command-line switches, browses\n"
    "folders and ZIP, LHA, ARJ, ARC and ZOO archives with a ROM selector that shows members,\n"
    "sizes and preview pictures, extracts the chosen ROM, starts the emulator and cleans up.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The dependencies are the shared libraries the programs link, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://orvello.org/")
include(CPack)
