# Installation into the standard places under the prefix, and the Debian package.
include(GNUInstallDirs)

add_executable(make_icons tools/make_icons.cpp)
target_link_libraries(make_icons PRIVATE slateboard_lib)
set(icon_dir ${CMAKE_BINARY_DIR}/icons)
add_custom_command(OUTPUT ${icon_dir}/256x256/apps/slateboard.png
  COMMAND make_icons ${icon_dir}
  DEPENDS make_icons
  COMMENT "Drawing the program icon")
add_custom_target(icons ALL DEPENDS ${icon_dir}/256x256/apps/slateboard.png)

# The manual page with the version filled in, compressed as Debian installs manual pages.
set(man_page ${CMAKE_BINARY_DIR}/man/slateboard.1)
configure_file(resources/slateboard.1 ${man_page} @ONLY)
add_custom_command(OUTPUT ${man_page}.gz
  COMMAND gzip -9n --stdout ${man_page} > ${man_page}.gz
  DEPENDS ${man_page} VERBATIM)
add_custom_target(man_page ALL DEPENDS ${man_page}.gz)

install(TARGETS slateboard RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${man_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES resources/slateboard.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/slateboard.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(DIRECTORY ${icon_dir}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME slateboard)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Slateboard developers <slateboard@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Draw on top of whatever the screen shows")
set(CPACK_PACKAGE_DESCRIPTION "A small always-on-top toolbar and a hot key that freezes the desktop into a full-screen canvas for arrows, lines, circles, highlights, free-hand strokes and a 2x loupe.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The dependencies are read off the binary's shared libraries by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's X11 platform plugin is loaded at run time, so no library link names it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# In a Wayland session: Qt's Wayland platform, and the desktop portal that reads the screen.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-desktop-portal")
set(CPACK_STRIP_FILES ON)
include(CPack)
