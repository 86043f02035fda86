# Installs a build into PREFIX and checks that each file landed where a desktop looks for it
# (MODE=install), or removes it again with the uninstall script and checks nothing is left
# (MODE=uninstall).
# cmake -DMODE=install|uninstall -DBUILD_DIR=dir -DPREFIX=dir [-DUNINSTALL=script] -P this
set(expected
    bin/quillmark
    share/applications/quillmark.desktop
    share/icons/hicolor/scalable/apps/quillmark.svg
    share/doc/quillmark/README.md)

if(MODE STREQUAL "install")
    file(REMOVE_RECURSE "${PREFIX}")
    execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "cmake --install failed (${status}):\n${output}")
    endif()
    foreach(file IN LISTS expected)
        if(NOT EXISTS "${PREFIX}/${file}")
            message(FATAL_ERROR "not installed: ${PREFIX}/${file}")
        endif()
    endforeach()
    find_program(VALIDATE desktop-file-validate)
    if(VALIDATE)
        execute_process(COMMAND "${VALIDATE}" "${PREFIX}/share/applications/quillmark.desktop"
                        RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
        if(NOT status EQUAL 0 OR NOT output STREQUAL "")
            message(FATAL_ERROR "the desktop entry does not validate:\n${output}")
        endif()
    endif()
    execute_process(COMMAND "${PREFIX}/bin/quillmark" --version
                    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0 OR NOT output MATCHES "^Quillmark ")
        message(FATAL_ERROR "the installed binary does not run (${status}):\n${output}")
    endif()
elseif(MODE STREQUAL "uninstall")
    execute_process(COMMAND "${UNINSTALL}" "${BUILD_DIR}"
                    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "uninstall failed (${status}):\n${output}")
    endif()
    foreach(file IN LISTS expected)
        if(EXISTS "${PREFIX}/${file}")
            message(FATAL_ERROR "left behind after uninstall: ${PREFIX}/${file}")
        endif()
    endforeach()
    if(EXISTS "${PREFIX}/share/doc/quillmark")
        message(FATAL_ERROR "the documentation folder was left behind")
    endif()
    file(REMOVE_RECURSE "${PREFIX}")
else()
    message(FATAL_ERROR "MODE must be install or uninstall")
endif()
