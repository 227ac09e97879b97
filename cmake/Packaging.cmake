# Installation into the standard places of a Linux desktop, and the Debian package (cpack -G DEB).
#
#   cmake --install <build> --prefix /usr      the binary, desktop entry, icons and AppStream data
#   (cd <build> && cpack -G DEB)               registratore_<version>_<arch>.deb
#
# The application id names the desktop entry, the AppStream component and the icons alike, so
# that launchers, software centres and the status bar all find the same files.
include(GNUInstallDirs)

set(REGISTRATORE_APP_ID org.registratore.Registratore)
set(_registratore_desktop_dir ${CMAKE_CURRENT_LIST_DIR}/../resources/desktop)

install(FILES ${_registratore_desktop_dir}/${REGISTRATORE_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_registratore_desktop_dir}/${REGISTRATORE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_registratore_desktop_dir}/${REGISTRATORE_APP_ID}.svg
              ${_registratore_desktop_dir}/${REGISTRATORE_APP_ID}-symbolic.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# --- Debian package --------------------------------------------------------------------------

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME registratore)
set(CPACK_PACKAGE_VENDOR "Registratore developers")
set(CPACK_PACKAGE_CONTACT "Registratore developers <registratore@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "voice recorder in the desktop's status bar")
# Debian wants the long description in lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Registratore lives in the status bar (system tray) of the desktop: click its
microphone to record, pause, resume and stop a voice note. Recordings are saved
as Core Audio Format files (16-bit mono PCM at 12, 24 or 48 kHz) from the
desktop's default input (PulseAudio or PipeWire). On a desktop without a status
bar the recorder opens in an ordinary window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the binary links (Qt, libsndfile, libpulse, xcb ...) come from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads some of what the recorder needs as plugins at run time; the binary does not link them,
# so dpkg-shlibdeps cannot see them:
#  - qt6-qpa-plugins: the X11 platform integration (platforms/libqxcb.so); without it the
#    recorder cannot open a display at all;
#  - libqt6svg6: the SVG icon engine (iconengines/libqsvgicon.so); every icon of the recorder,
#    the status-bar microphone first, is an SVG and would be drawn empty without it. The binary
#    uses no QtSvg symbol itself, so libQt6Svg.so.6 is not among its NEEDED libraries either.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
# The package gets a stripped binary; the debug information goes to registratore-dbgsym.
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)

include(CPack)
