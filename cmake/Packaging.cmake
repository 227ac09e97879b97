# Installation into the standard places of a Linux desktop, and the Debian package (cpack -G DEB).
#
#   cmake --install <build> --prefix /usr      the binary, desktop entry, icons, AppStream data,
#                                              the recordings' MIME type, manual page, changelog
#                                              and copyright
#   (cd <build> && cpack -G DEB)               registratore_<version>_<arch>.deb
#
# The version is project(VERSION) alone: --version, the package and the AppStream release take
# it from there. CHANGELOG (a Debian changelog: `dch -c CHANGELOG -v <version>` adds an entry)
# must have an entry for it, whose date is the release date.
#
# REGISTRATORE_PROJECT_URL (a cache variable, empty by default) is the project's https:// address
# on its forge, set by whoever publishes it, e.g. -DREGISTRATORE_PROJECT_URL=https://codeberg.org/
# someone/registratore. The AppStream data takes from it the homepage and vcs-browser (the address),
# the bugtracker (<address>/issues) and its screenshots' images (<address>/raw/v<version>/docs/
# screenshots/*.png, the files at the release's tag); without it those are left out.
# cmake/DesktopData.cmake makes the desktop entry and the AppStream data with their translations.
#
# The application id names the desktop entry, the AppStream component and the icons alike, so
# that launchers, software centres and the status bar all find the same files.
include(GNUInstallDirs)

set(REGISTRATORE_APP_ID org.registratore.Registratore)
set(_registratore_desktop_dir ${CMAKE_CURRENT_LIST_DIR}/../resources/desktop)

# --- the release -----------------------------------------------------------------------------

set(_registratore_changelog ${CMAKE_CURRENT_LIST_DIR}/../CHANGELOG)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_registratore_changelog})
include(${CMAKE_CURRENT_LIST_DIR}/DesktopData.cmake)
registratore_read_changelog(${_registratore_changelog} _registratore_changelog_version REGISTRATORE_RELEASE_DATE
                            _registratore_release_description)
if(NOT _registratore_changelog_version STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "CHANGELOG's newest entry is version ${_registratore_changelog_version}, not ${PROJECT_VERSION} "
                        "of project(VERSION). Add one: dch -c CHANGELOG -v ${PROJECT_VERSION}")
endif()

# --- desktop integration -----------------------------------------------------------------------

set(REGISTRATORE_PROJECT_URL "" CACHE STRING
    "The project's https:// address on its forge: the AppStream homepage, bugtracker, vcs-browser and screenshots")
registratore_check_project_url("${REGISTRATORE_PROJECT_URL}" _registratore_project_url)
# msgfmt puts the translations of resources/desktop/po into the desktop entry and the AppStream data.
find_program(MSGFMT_PROGRAM msgfmt REQUIRED)
set(_registratore_po_dir ${_registratore_desktop_dir}/po)
file(STRINGS ${_registratore_po_dir}/LINGUAS _registratore_languages REGEX "^[a-zA-Z_@]+$")
list(TRANSFORM _registratore_languages PREPEND ${_registratore_po_dir}/)
list(TRANSFORM _registratore_languages APPEND .po)
set(_registratore_desktop_data ${CMAKE_CURRENT_BINARY_DIR}/desktop-data)
add_custom_command(OUTPUT ${_registratore_desktop_data}/${REGISTRATORE_APP_ID}.desktop
                          ${_registratore_desktop_data}/${REGISTRATORE_APP_ID}.metainfo.xml
    COMMAND ${CMAKE_COMMAND} -DPROJECT_URL=${_registratore_project_url} -DOUTPUT_DIR=${_registratore_desktop_data}
            -DMSGFMT=${MSGFMT_PROGRAM} -P ${CMAKE_CURRENT_LIST_DIR}/DesktopData.cmake
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/DesktopData.cmake ${_registratore_changelog}
            ${_registratore_desktop_dir}/${REGISTRATORE_APP_ID}.desktop.in
            ${_registratore_desktop_dir}/${REGISTRATORE_APP_ID}.metainfo.xml.in
            ${_registratore_po_dir}/LINGUAS ${_registratore_po_dir}/its/registratore-metainfo.its
            ${_registratore_languages}
    COMMENT "Generating the desktop entry and the AppStream data with their translations"
    VERBATIM)
add_custom_target(registratore_desktop_data ALL
    DEPENDS ${_registratore_desktop_data}/${REGISTRATORE_APP_ID}.desktop
            ${_registratore_desktop_data}/${REGISTRATORE_APP_ID}.metainfo.xml)
install(FILES ${_registratore_desktop_data}/${REGISTRATORE_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_registratore_desktop_data}/${REGISTRATORE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# After a change of the English texts: refresh the template and the translations from it.
find_program(XGETTEXT_PROGRAM xgettext)
find_program(MSGMERGE_PROGRAM msgmerge)
if(XGETTEXT_PROGRAM AND MSGMERGE_PROGRAM)
    set(_registratore_merges "")
    foreach(_registratore_po IN LISTS _registratore_languages)
        list(APPEND _registratore_merges COMMAND ${MSGMERGE_PROGRAM} -q --update --backup=none ${_registratore_po}
                                         registratore-desktop.pot)
    endforeach()
    add_custom_target(registratore_desktop_pot
        COMMAND ${XGETTEXT_PROGRAM} --its=its/registratore-metainfo.its --from-code=UTF-8
                --package-name=registratore -o registratore-desktop.pot ../${REGISTRATORE_APP_ID}.metainfo.xml.in
        COMMAND ${XGETTEXT_PROGRAM} -j --from-code=UTF-8 -o registratore-desktop.pot
                ../${REGISTRATORE_APP_ID}.desktop.in
        ${_registratore_merges}
        WORKING_DIRECTORY ${_registratore_po_dir}
        VERBATIM)
endif()
# The recordings' type, audio/x-caf, for the shared MIME database (Debian 12 and 13 have none):
# shared-mime-info's and desktop-file-utils' dpkg triggers rebuild the database and the desktop
# entries' cache once the package is installed or removed, with no maintainer script of ours.
install(FILES ${_registratore_desktop_dir}/${REGISTRATORE_APP_ID}.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${_registratore_desktop_dir}/${REGISTRATORE_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The status icon of each state (idle, recording, paused), named for the status bar through the
# icon theme so that it takes the panel's colours; the idle one is also the app's symbolic icon.
# The build keeps a copy under <build>/share/icons, which a recorder run from the build folder
# hands the status bar as its own theme folder.
set(_registratore_status_icons ${REGISTRATORE_APP_ID}-symbolic.svg ${REGISTRATORE_APP_ID}-recording-symbolic.svg
                               ${REGISTRATORE_APP_ID}-paused-symbolic.svg)
foreach(_registratore_icon ${_registratore_status_icons})
    configure_file(${_registratore_desktop_dir}/${_registratore_icon}
                   ${CMAKE_BINARY_DIR}/share/icons/hicolor/symbolic/apps/${_registratore_icon} COPYONLY)
    install(FILES ${_registratore_desktop_dir}/${_registratore_icon}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/symbolic/apps)
endforeach()
# A status bar that searches that folder alone (GNOME Shell 48's AppIndicator extension) needs the
# theme's index there too: the part of hicolor's that names the folder of the icons.
file(WRITE ${CMAKE_BINARY_DIR}/share/icons/hicolor/index.theme
     "[Icon Theme]\nName=Hicolor\nComment=Fallback icon theme\nHidden=true\nDirectories=symbolic/apps\n\n"
     "[symbolic/apps]\nMinSize=8\nSize=16\nMaxSize=512\nContext=Applications\nType=Scalable\n")

# --- manual page, changelog and copyright ------------------------------------------------------

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    find_program(HELP2MAN_PROGRAM help2man REQUIRED)
    find_program(GZIP_PROGRAM gzip REQUIRED)
    set(_registratore_man_include ${CMAKE_CURRENT_LIST_DIR}/../resources/man/registratore.h2m)
    set(_registratore_man ${CMAKE_CURRENT_BINARY_DIR}/registratore.1)
    set(_registratore_doc ${CMAKE_CURRENT_BINARY_DIR}/doc)
    # registratore(1) from --help and --version, with the sections of the include file. The
    # program runs by name, as a user starts it, since --help's usage line names it as started.
    # The exit statuses, listed by --help after the options, become a section of their own.
    add_custom_command(OUTPUT ${_registratore_man}.gz
        COMMAND ${CMAKE_COMMAND} -E env --unset=LANGUAGE --unset=LC_ALL --unset=LC_MESSAGES LANG=C.UTF-8
                "PATH=$<TARGET_FILE_DIR:registratore>:$ENV{PATH}"
                ${HELP2MAN_PROGRAM} --no-info --include=${_registratore_man_include}
                --output=${_registratore_man} registratore
        COMMAND sed -i "s/^\\.SS \"Exit status:\"$/.SH \"EXIT STATUS\"/" ${_registratore_man}
        COMMAND ${GZIP_PROGRAM} -9nf ${_registratore_man}
        DEPENDS registratore ${_registratore_man_include}
        COMMENT "Generating the manual page registratore(1)"
        VERBATIM)
    # Debian's names: changelog.gz, compressed with gzip -9n so that builds are reproducible.
    add_custom_command(OUTPUT ${_registratore_doc}/changelog.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${_registratore_changelog} ${_registratore_doc}/changelog
        COMMAND ${GZIP_PROGRAM} -9nf ${_registratore_doc}/changelog
        DEPENDS ${_registratore_changelog}
        VERBATIM)
    add_custom_target(registratore_docs ALL DEPENDS ${_registratore_man}.gz ${_registratore_doc}/changelog.gz)
    install(FILES ${_registratore_man}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${_registratore_doc}/changelog.gz ${CMAKE_CURRENT_LIST_DIR}/debian/copyright
            DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

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
#  - platforms/libqxcb.so, the X11 platform integration: without it the recorder cannot open a
#    display at all;
#  - iconengines/libqsvgicon.so and imageformats/libqsvg.so, Qt's SVG icon engine and image
#    reader: every icon of the recorder, the status-bar microphone first, is an SVG and would be
#    drawn empty without them.
# The package depends on whichever packages hold them on the release it is built on (Debian 12:
# libqt6gui6 and libqt6svg6; Debian 13 moved the SVG plugins to qt6-svg-plugins).
set(_registratore_plugins platforms/libqxcb.so iconengines/libqsvgicon.so imageformats/libqsvg.so)
set(_registratore_plugin_packages "")
find_program(DPKG_QUERY_PROGRAM dpkg-query)
foreach(_registratore_plugin IN LISTS _registratore_plugins)
    set(_registratore_plugin_file ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}/${_registratore_plugin})
    if(NOT DPKG_QUERY_PROGRAM)
        break()
    endif()
    if(NOT EXISTS ${_registratore_plugin_file})
        message(WARNING "Qt's plugin ${_registratore_plugin_file} is not installed: the package will not "
                        "depend on it (scripts/install-deps.sh build installs it)")
        continue()
    endif()
    # dpkg-query -S says "package:arch: path" of each package that holds the file.
    execute_process(COMMAND ${DPKG_QUERY_PROGRAM} -S ${_registratore_plugin_file}
                    OUTPUT_VARIABLE _registratore_owner RESULT_VARIABLE _registratore_status
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(_registratore_status EQUAL 0 AND _registratore_owner MATCHES "^([a-z0-9][a-z0-9+.-]+)(:[a-z0-9-]+)?: ")
        list(APPEND _registratore_plugin_packages ${CMAKE_MATCH_1})
    endif()
endforeach()
list(REMOVE_DUPLICATES _registratore_plugin_packages)
list(JOIN _registratore_plugin_packages ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# Qt's own messages (its dialogs, the help's standard options) in the recorder's languages; the
# recorder's own are built into it. Without them those few texts are English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
# The package gets a stripped binary; the debug information goes to registratore-dbgsym.
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)

include(CPack)
