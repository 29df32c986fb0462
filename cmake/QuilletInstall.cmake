# Where a Linux user expects the pieces: programs in bin, the desktop entry,
# the icon in the hicolor theme, the AppStream metainfo and the help page.
include(GNUInstallDirs)

if(TARGET quillet)
  install(TARGETS quillet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS quillet-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET quillet-relaunch)
  install(TARGETS quillet-relaunch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(QUILLET_RESOURCES ${PROJECT_SOURCE_DIR}/resources)
install(FILES ${QUILLET_RESOURCES}/com.orrerylabs.Quillet.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# KWin lets a client type (org_kde_kwin_fake_input) when an application
# entry whose Exec is the client's own executable, by its full path, asks for
# it. The menu entry starts "quillet" from PATH, so a hidden one carries that.
set(QUILLET_BINDIR ${CMAKE_INSTALL_FULL_BINDIR})
configure_file(${QUILLET_RESOURCES}/com.orrerylabs.Quillet.kwin.desktop.in
               ${PROJECT_BINARY_DIR}/com.orrerylabs.Quillet.kwin.desktop @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/com.orrerylabs.Quillet.kwin.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUILLET_RESOURCES}/com.orrerylabs.Quillet.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${QUILLET_RESOURCES}/icons/quillet.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${QUILLET_RESOURCES}/icons/quillet-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME quillet.png)
endforeach()
# Not under doc: Debian lets systems leave /usr/share/doc out (path-exclude),
# and the Help entry needs the page.
install(FILES ${QUILLET_RESOURCES}/help/quillet-help.html
        DESTINATION ${CMAKE_INSTALL_DATADIR}/quillet)
# Read access to the keyboards for the user at the seat, which the key
# source needs in a Wayland session.
install(FILES ${QUILLET_RESOURCES}/udev/70-quillet-input.rules
        DESTINATION lib/udev/rules.d)

# A Debian package: cpack -G DEB in the build folder (scripts/package-deb).
set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VENDOR "Orrery Labs")
set(CPACK_PACKAGE_CONTACT "Orrery Labs <quillet@orrerylabs.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "text expander for the X11 desktop")
# One string: set() with several would join them with ";" into the control file.
set(CPACK_PACKAGE_DESCRIPTION
    "Quillet replaces abbreviations typed in any application with stored snippets:
plain or formatted text with date codes, the clipboard, fill-in fields and key presses.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "sound-theme-freedesktop")
# TIFF and WebP pictures in formatted snippets (Qt reads PNG, JPEG and GIF by
# itself); xdg-open opens the help page and the backups folder outside a desktop
# that offers its own opener.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins, xdg-utils")
set(CPACK_STRIP_FILES ON)
include(CPack)
