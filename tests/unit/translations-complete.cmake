# Fails when a message of the sources is missing from a shipped .ts file, or is unfinished there:
# lupdate brings a copy of each .ts file up to date with the sources, where a new message arrives
# unfinished, and no message of the copy may be unfinished.
#
#   cmake -DLUPDATE=lupdate -DSOURCE_DIR=repo -DFOLDERS="app;ui" -DTS_FILES="a.ts;b.ts"
#         -DWORK_DIR=folder -P translations-complete.cmake
file(MAKE_DIRECTORY ${WORK_DIR})
set(failures 0)
foreach(ts IN LISTS TS_FILES)
    get_filename_component(name ${ts} NAME)
    set(copy ${WORK_DIR}/${name})
    configure_file(${ts} ${copy} COPYONLY)
    execute_process(
        COMMAND ${LUPDATE} -silent -I ${SOURCE_DIR} ${FOLDERS} -no-obsolete -locations none -ts ${copy}
        WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(SEND_ERROR "lupdate failed on ${name} (${result})")
        math(EXPR failures "${failures} + 1")
        continue()
    endif()
    # Each unfinished message, named by its context and the first line of its source text.
    file(STRINGS ${copy} lines ENCODING UTF-8)
    set(context "")
    set(source "")
    foreach(line IN LISTS lines)
        if(line MATCHES "<name>(.*)</name>")
            set(context ${CMAKE_MATCH_1})
        elseif(line MATCHES "<source>(.*)")
            string(REGEX REPLACE "</source>.*" "" source "${CMAKE_MATCH_1}")
        elseif(line MATCHES "type=\"unfinished\"")
            message(SEND_ERROR "${name}: ${context}: \"${source}\" is not translated")
            math(EXPR failures "${failures} + 1")
        endif()
    endforeach()
endforeach()
if(failures GREATER 0)
    message(FATAL_ERROR "${failures} message(s) to translate: `cmake --build build --target "
                        "registratore_lupdate` adds them to translations/, where they are marked unfinished")
endif()
