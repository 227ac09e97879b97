# The desktop entry and the AppStream data, in English and in every language of
# resources/desktop/po/LINGUAS, made from their templates in resources/desktop and the .po files.
#
# Included by Packaging.cmake for its functions; run as a script at build time (and by the package
# test, which makes them with and without a project address):
#
#   cmake -DPROJECT_URL=https://... -DOUTPUT_DIR=<dir> [-DMSGFMT=msgfmt] -P cmake/DesktopData.cmake
#
# gives <dir>/org.registratore.Registratore.desktop and <dir>/org.registratore.Registratore.metainfo.xml:
#   - msgfmt --xml puts each translation of the name, summary, description, keywords and captions
#     beside the English, as xml:lang elements; msgfmt --desktop adds Name[xx], GenericName[xx]
#     and Comment[xx] to the entry;
#   - the entry's Keywords and Keywords[xx] are the AppStream keywords of that language, so the two
#     never differ and each keyword is translated once;
#   - the release is CHANGELOG's newest entry: its version, its date and its items as the release's
#     description;
#   - PROJECT_URL gives the homepage and vcs-browser (the address itself), the bugtracker
#     (PROJECT_URL/issues) and the screenshots (PROJECT_URL/raw/v<version>/docs/screenshots/...,
#     the files at the release's tag). Without it those elements are left out.

set(_registratore_data_root ${CMAKE_CURRENT_LIST_DIR}/..)

# Fails unless url is empty or an https:// address that can stand in XML and have paths appended:
# no spaces, quotes, angle brackets, ampersands, query or fragment. A trailing slash is dropped.
function(registratore_check_project_url url out_var)
    string(REGEX REPLACE "/$" "" url "${url}")
    if(NOT url STREQUAL ""
       AND NOT url MATCHES "^https://[A-Za-z0-9]([A-Za-z0-9.-]*[A-Za-z0-9])?(:[0-9]+)?(/[A-Za-z0-9._~%+-]+)*$")
        message(FATAL_ERROR "REGISTRATORE_PROJECT_URL is '${url}', which is not the project's address on its forge: "
                            "it must start with https:// and have no spaces, quotes, <, >, &, query (?) or fragment "
                            "(#), e.g. -DREGISTRATORE_PROJECT_URL=https://codeberg.org/someone/registratore")
    endif()
    set(${out_var} "${url}" PARENT_SCOPE)
endfunction()

# CHANGELOG's newest entry (a Debian changelog): its version, its date as YYYY-MM-DD, and its items
# as an AppStream <description> list.
function(registratore_read_changelog changelog version_var date_var description_var)
    file(READ ${changelog} text)
    if(NOT text MATCHES "^registratore \\(([^)]+)\\)[^\n]*\n(.*)")
        message(FATAL_ERROR "${changelog} does not start with an entry 'registratore (VERSION) ...'")
    endif()
    set(version ${CMAKE_MATCH_1})
    set(rest "${CMAKE_MATCH_2}")
    string(FIND "${rest}" "\n -- " end)
    if(end LESS 0)
        message(FATAL_ERROR "${changelog}'s newest entry has no trailer line ' -- NAME <ADDRESS>  DATE'")
    endif()
    string(SUBSTRING "${rest}" 0 ${end} items)
    string(SUBSTRING "${rest}" ${end} -1 trailer)
    # The entry's date, "Tue, 20 May 2025 12:00:00 +0000", as 2025-05-20.
    if(NOT trailer MATCHES "^\n -- [^\n]*, ([0-9]?[0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
        message(FATAL_ERROR "${changelog}'s newest entry has no date in its trailer line")
    endif()
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    list(FIND months ${CMAKE_MATCH_2} month)
    if(month LESS 0)
        message(FATAL_ERROR "${changelog}'s newest entry has no month '${CMAKE_MATCH_2}'")
    endif()
    math(EXPR month "${month} + 1")
    math(EXPR day "${CMAKE_MATCH_1}")
    set(year ${CMAKE_MATCH_3})
    foreach(part month day)
        if(${part} LESS 10)
            set(${part} 0${${part}})
        endif()
    endforeach()
    # "  * An item,\n    continued" becomes <li>An item, continued</li>; no list commands here,
    # since an item may hold a semicolon.
    string(REPLACE "&" "&amp;" items "${items}")
    string(REPLACE "<" "&lt;" items "${items}")
    string(REPLACE ">" "&gt;" items "${items}")
    string(REGEX REPLACE "\n[ \t]*(\n[ \t]*)*\n" "\n" items "\n${items}\n")
    string(REGEX REPLACE "\n    +" " " items "${items}")
    string(REGEX REPLACE "\n  \\* ([^\n]*)" "\n          <li>\\1</li>" items "${items}")
    if(NOT items MATCHES "<li>" OR items MATCHES "\n[ ]*[^ <\n]")
        message(FATAL_ERROR "${changelog}'s newest entry is not a list of items '  * ...': '${items}'")
    endif()
    string(STRIP "${items}" items)
    set(${version_var} ${version} PARENT_SCOPE)
    set(${date_var} ${year}-${month}-${day} PARENT_SCOPE)
    set(${description_var} "\n      <description>\n        <ul>\n          ${items}\n        </ul>\n      </description>\n    "
        PARENT_SCOPE)
endfunction()

function(_registratore_msgfmt mode template output)
    set(po ${_registratore_data_root}/resources/desktop/po)
    # Our own ITS rules for the AppStream template, whichever gettext and appstream are installed.
    execute_process(COMMAND ${CMAKE_COMMAND} -E env GETTEXTDATADIRS=${po}
                            ${MSGFMT} ${mode} --template=${template} -d ${po} -o ${output}
                    RESULT_VARIABLE status ERROR_VARIABLE errors)
    if(NOT status EQUAL 0 OR NOT errors STREQUAL "")
        message(FATAL_ERROR "msgfmt ${mode} --template=${template} failed: ${errors}")
    endif()
endfunction()

function(_registratore_xml_text text out_var)
    string(REPLACE "&lt;" "<" text "${text}")
    string(REPLACE "&gt;" ">" text "${text}")
    string(REPLACE "&quot;" "\"" text "${text}")
    string(REPLACE "&apos;" "'" text "${text}")
    string(REPLACE "&amp;" "&" text "${text}")
    set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

function(registratore_make_desktop_data output_dir project_url)
    set(app_id org.registratore.Registratore)
    set(source ${_registratore_data_root}/resources/desktop)
    registratore_check_project_url("${project_url}" REGISTRATORE_PROJECT_URL)
    registratore_read_changelog(${_registratore_data_root}/CHANGELOG PROJECT_VERSION REGISTRATORE_RELEASE_DATE
                                REGISTRATORE_RELEASE_DESCRIPTION)
    set(REGISTRATORE_SCREENSHOTS_URL "${REGISTRATORE_PROJECT_URL}/raw/v${PROJECT_VERSION}/docs/screenshots")
    file(MAKE_DIRECTORY ${output_dir})

    # --- AppStream ---
    # Under the name that resources/desktop/po/its/registratore-metainfo.loc gives our ITS rules.
    configure_file(${source}/${app_id}.metainfo.xml.in ${output_dir}/${app_id}.metainfo.template COPYONLY)
    _registratore_msgfmt(--xml ${output_dir}/${app_id}.metainfo.template ${output_dir}/${app_id}.metainfo.xml.tmp)
    file(REMOVE ${output_dir}/${app_id}.metainfo.template)
    file(READ ${output_dir}/${app_id}.metainfo.xml.tmp metainfo)
    if(REGISTRATORE_PROJECT_URL STREQUAL "")
        string(REGEX REPLACE "\n *<url [^\n]*</url>" "" metainfo "${metainfo}")
        string(REGEX REPLACE "\n *<screenshots>.*</screenshots>" "" metainfo "${metainfo}")
    endif()
    string(CONFIGURE "${metainfo}" metainfo @ONLY)
    file(WRITE ${output_dir}/${app_id}.metainfo.xml "${metainfo}")
    file(REMOVE ${output_dir}/${app_id}.metainfo.xml.tmp)

    # --- the desktop entry, with the AppStream keywords ---
    _registratore_msgfmt(--desktop ${source}/${app_id}.desktop.in ${output_dir}/${app_id}.desktop.tmp)
    file(READ ${output_dir}/${app_id}.desktop.tmp entry)
    file(STRINGS ${source}/po/LINGUAS languages REGEX "^[a-zA-Z_@]+$")
    foreach(language "" ${languages})
        set(attribute "")
        set(key Keywords)
        if(NOT language STREQUAL "")
            set(attribute " xml:lang=\"${language}\"")
            set(key "Keywords[${language}]")
        endif()
        string(REGEX MATCHALL "<keyword${attribute}>[^<]*</keyword>" keywords "${metainfo}")
        set(line "")
        foreach(keyword IN LISTS keywords)
            string(REGEX REPLACE "^<keyword[^>]*>(.*)</keyword>$" "\\1" keyword "${keyword}")
            _registratore_xml_text("${keyword}" keyword)
            string(APPEND line "${keyword};")
        endforeach()
        if(NOT line STREQUAL "")
            string(APPEND entry "${key}=${line}\n")
        endif()
    endforeach()
    file(WRITE ${output_dir}/${app_id}.desktop "${entry}")
    file(REMOVE ${output_dir}/${app_id}.desktop.tmp)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    cmake_policy(VERSION 3.25)
    if(NOT OUTPUT_DIR)
        message(FATAL_ERROR "usage: cmake -DPROJECT_URL=https://... -DOUTPUT_DIR=DIR [-DMSGFMT=msgfmt] -P ${CMAKE_CURRENT_LIST_FILE}")
    endif()
    if(NOT MSGFMT)
        set(MSGFMT msgfmt)
    endif()
    registratore_make_desktop_data(${OUTPUT_DIR} "${PROJECT_URL}")
endif()
