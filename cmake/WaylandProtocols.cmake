# Wayland protocol code, generated at build time by wayland-scanner from the protocol
# descriptions Debian installs:
#   wayland-protocols            xdg-shell (the layer shell's popups refer to it)
#   plasma-wayland-protocols     KDE's fake input
#   librust-wayland-protocols-dev  the wlroots protocols (data control, layer shell, virtual
#                                pointer, window list), which no other Debian 12 package installs
# and from src/platform/wayland/protocols for the virtual keyboard, which none installs.
find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
if(NOT WAYLAND_PROTOCOLS_DIR)
    message(FATAL_ERROR "wayland-protocols is missing; scripts/setup-debian.sh installs it")
endif()
find_path(PLASMA_WAYLAND_PROTOCOLS_DIR fake-input.xml
    PATHS /usr/share/plasma-wayland-protocols REQUIRED NO_DEFAULT_PATH)
file(GLOB _wlr_dirs LIST_DIRECTORIES true
    /usr/share/cargo/registry/wayland-protocols-*/wlr-protocols/unstable)
find_path(WLR_PROTOCOLS_DIR wlr-data-control-unstable-v1.xml PATHS ${_wlr_dirs} REQUIRED
    NO_DEFAULT_PATH)

set(QUILLMARK_WAYLAND_PROTOCOLS
    ${WAYLAND_PROTOCOLS_DIR}/stable/xdg-shell/xdg-shell.xml
    ${PLASMA_WAYLAND_PROTOCOLS_DIR}/fake-input.xml
    ${WLR_PROTOCOLS_DIR}/wlr-data-control-unstable-v1.xml
    ${WLR_PROTOCOLS_DIR}/wlr-foreign-toplevel-management-unstable-v1.xml
    ${WLR_PROTOCOLS_DIR}/wlr-layer-shell-unstable-v1.xml
    ${WLR_PROTOCOLS_DIR}/wlr-virtual-pointer-unstable-v1.xml
    ${PROJECT_SOURCE_DIR}/src/platform/wayland/protocols/virtual-keyboard-unstable-v1.xml)

# One static library with every protocol's glue code; its users include
# "<name>-client-protocol.h".
function(quillmark_add_wayland_protocols target)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/wayland-protocols)
    file(MAKE_DIRECTORY ${out})
    set(sources)
    foreach(xml IN LISTS QUILLMARK_WAYLAND_PROTOCOLS)
        get_filename_component(name ${xml} NAME_WE)
        add_custom_command(OUTPUT ${out}/${name}-client-protocol.h
            COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${out}/${name}-client-protocol.h
            DEPENDS ${xml} VERBATIM)
        add_custom_command(OUTPUT ${out}/${name}-protocol.c
            COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${out}/${name}-protocol.c
            DEPENDS ${xml} VERBATIM)
        list(APPEND sources ${out}/${name}-client-protocol.h ${out}/${name}-protocol.c)
    endforeach()
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${out})
    target_link_libraries(${target} PUBLIC PkgConfig::WAYLAND_CLIENT)
endfunction()
