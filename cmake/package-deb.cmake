# The Debian package of the native program (scripts/package): the program, its desktop
# entry and icon, and the Japanese guide. Its dependencies are worked out from the binary
# by dpkg-shlibdeps, so they follow whatever the build linked.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)  # packing needs the program, not the tests
include(GNUInstallDirs)
# The program keeps its guide and icon beside it, as the Windows release does, so help finds
# the guide where the program is; the command on the PATH is a link to it.
set(OCU_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/ocumira)
install(TARGETS ocumira RUNTIME DESTINATION ${OCU_PROGRAM_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/guide-ja.txt DESTINATION ${OCU_PROGRAM_DIR} RENAME 使い方.txt)
install(FILES ${CMAKE_SOURCE_DIR}/resources/Ocumira.ico DESTINATION ${OCU_PROGRAM_DIR} RENAME ocumira.ico)
file(RELATIVE_PATH OCU_LINK_TARGET /usr/${CMAKE_INSTALL_BINDIR} /usr/${OCU_PROGRAM_DIR}/ocumira)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/package-link)
file(CREATE_LINK ${OCU_LINK_TARGET} ${CMAKE_BINARY_DIR}/package-link/ocumira SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/package-link/ocumira DESTINATION ${CMAKE_INSTALL_BINDIR})
# Named as the program names the Programs-menu entry it makes for a user, which then takes
# this one's place in the menu instead of standing beside it.
install(FILES ${CMAKE_SOURCE_DIR}/resources/Ocumira.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/ocumira.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ocumira)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lumivane")
set(CPACK_PACKAGE_CONTACT "Lumivane <support@lumivane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen magnifier with free rotation, mirroring and click-through")
set(CPACK_PACKAGE_DESCRIPTION
    "Ocumira shows a magnified copy of the screen around the pointer or of a pinned area, zoomed 1x to 16x, mirrored, turned by any angle, inverted, with a grid, centre lines, a drawing layer and clicks passed through to the window underneath.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY ocumira)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # ocumira_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded by Qt at run time, so no linked library names it: without its X11 platform plugin
# the program cannot open a window (Qt only recommends it).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Help opens the guide through the desktop's opener; without it the command does nothing.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_STRIP_FILES ON)
include(CPack)

add_test(NAME DebPackage.InstallsStartsFromItsEntryAndRemovesCleanly
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/deb_install.sh ${CMAKE_BINARY_DIR})
set_tests_properties(DebPackage.InstallsStartsFromItsEntryAndRemovesCleanly
                     PROPERTIES LABELS e2e RUN_SERIAL TRUE TIMEOUT 300 SKIP_RETURN_CODE 77)
