# Installs a build into PREFIX and checks that each file landed where a desktop looks for it
# (MODE=install), removes it again with the uninstall script and checks nothing is left
# (MODE=uninstall), or makes a Debian package of it in PREFIX and checks what the package
# holds and depends on (MODE=package).
# cmake -DMODE=install|uninstall|package -DBUILD_DIR=dir -DPREFIX=dir [-DUNINSTALL=script]
#       -P this
set(expected
    bin/quillmark
    share/applications/quillmark.desktop
    share/icons/hicolor/scalable/apps/quillmark.svg
    share/doc/quillmark/README.md
    bin/quillmark-relay
    lib/systemd/system/quillmark-relay.service
    lib/sysusers.d/quillmark-relay.conf
    share/doc/quillmark/relay.conf.example)

if(MODE STREQUAL "install")
    file(REMOVE_RECURSE "${PREFIX}")
    # Stripped, as scripts/install.sh installs it: KWin reads the whole executable of every
    # new Wayland client, and a binary with its debug information takes it seconds.
    execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                            --strip
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
    # KWin offers its fake input (the copy and paste keys) only to the programs that ask here.
    file(STRINGS "${PREFIX}/share/applications/quillmark.desktop" interfaces
         REGEX "^X-KDE-Wayland-Interfaces=.*org_kde_kwin_fake_input")
    if(NOT interfaces)
        message(FATAL_ERROR "the desktop entry does not ask KWin for its fake input")
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
elseif(MODE STREQUAL "package")
    file(REMOVE_RECURSE "${PREFIX}")
    # CPack's staging install writes the build's install manifest over; the uninstall that
    # follows an install must find that install's list, not the package's.
    set(manifest "${BUILD_DIR}/install_manifest.txt")
    if(EXISTS "${manifest}")
        file(COPY_FILE "${manifest}" "${manifest}.kept")
    endif()
    execute_process(COMMAND cpack -G DEB -B "${PREFIX}" --config "${BUILD_DIR}/CPackConfig.cmake"
                    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(EXISTS "${manifest}.kept")
        file(RENAME "${manifest}.kept" "${manifest}")
    else()
        file(REMOVE "${manifest}")
    endif()
    file(GLOB package "${PREFIX}/quillmark_*.deb")
    if(NOT status EQUAL 0 OR NOT package)
        message(FATAL_ERROR "cpack made no package (${status}):\n${output}")
    endif()
    execute_process(COMMAND dpkg-deb --contents "${package}" OUTPUT_VARIABLE contents)
    foreach(file IN LISTS expected)
        if(NOT contents MATCHES " \\./usr/${file}\n")
            message(FATAL_ERROR "the package lacks /usr/${file}:\n${contents}")
        endif()
    endforeach()
    execute_process(COMMAND dpkg-deb --field "${package}" Depends OUTPUT_VARIABLE depends)
    foreach(library IN ITEMS libqt6widgets6 libqt6svg6 libqcoro6core0 libsecret-1-0 libatspi2.0-0
                             libxcb-xtest0 libxkbcommon-x11-0
                             libqt6httpserver6 libqt6sql6-sqlite)
        if(NOT depends MATCHES "${library}")
            message(FATAL_ERROR "the package does not depend on ${library}: ${depends}")
        endif()
    endforeach()
    file(REMOVE_RECURSE "${PREFIX}")
else()
    message(FATAL_ERROR "MODE must be install, uninstall or package")
endif()
