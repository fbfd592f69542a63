# Installs the build under a scratch DESTDIR and an unusual prefix, as a package does, and
# checks that the installed program finds its version and sample database there, and that the
# desktop entry and metainfo validate where their validators are installed.
#   cmake -DBUILD=<build folder> -DSCRATCH=<folder> -DVERSION=<x.y.z.w> -P CheckInstall.cmake
set(prefix /opt/quorva)
set(installed "${SCRATCH}${prefix}")
file(REMOVE_RECURSE "${SCRATCH}")

execute_process(COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${SCRATCH}"
                        ${CMAKE_COMMAND} --install "${BUILD}" --prefix ${prefix}
                OUTPUT_QUIET RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

foreach(file IN ITEMS bin/quorva bin/quorva-sheetserver share/quorva/quorva-sample.sqlite
                      share/applications/org.quorva.Quorva.desktop
                      share/icons/hicolor/scalable/apps/org.quorva.Quorva.svg
                      share/metainfo/org.quorva.Quorva.metainfo.xml)
    if(NOT EXISTS "${installed}/${file}")
        message(FATAL_ERROR "not installed: ${prefix}/${file}")
    endif()
endforeach()

execute_process(COMMAND "${installed}/bin/quorva" --version
                OUTPUT_VARIABLE said RESULT_VARIABLE result)
set(expected "Quorva ${VERSION}\nSample database: ${installed}/share/quorva/quorva-sample.sqlite\n")
if(NOT result EQUAL 0 OR NOT said STREQUAL expected)
    message(FATAL_ERROR "quorva --version said (${result}):\n${said}\nexpected:\n${expected}")
endif()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
    execute_process(
        COMMAND ${DESKTOP_FILE_VALIDATE}
                "${installed}/share/applications/org.quorva.Quorva.desktop"
        RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "the desktop entry does not validate")
    endif()
endif()
find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
    execute_process(
        COMMAND ${APPSTREAMCLI} validate --no-net
                "${installed}/share/metainfo/org.quorva.Quorva.metainfo.xml"
        OUTPUT_VARIABLE said ERROR_VARIABLE said RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "the metainfo does not validate:\n${said}")
    endif()
endif()
file(REMOVE_RECURSE "${SCRATCH}")
