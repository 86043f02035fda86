# One helper per kind of test. Labels let `ctest -L unit` run anywhere, while the x11,
# dbus and e2e labels need the private test desktop (scripts/test-session), the kwin label
# its KDE Wayland session (--kwin).
find_package(GTest REQUIRED)
include(GoogleTest)

# Registers the GoogleTest cases of an executable with CTest under its labels. Tests that
# use the shared X display (its keymap, focus and clipboard) or the real keyring item run
# one at a time; end-to-end tests drive the whole desktop and run with nothing beside them.
# (Each property takes one value: gtest_discover_tests flattens lists.)
# quillmark_discover_tests(TARGET LABELS label... [ENVIRONMENT VAR=value]
#                          [PROPERTIES name value...])
function(quillmark_discover_tests target)
    cmake_parse_arguments(ARG "" "" "LABELS;ENVIRONMENT;PROPERTIES" ${ARGN})
    set(properties LABELS "${ARG_LABELS}")
    if("e2e" IN_LIST ARG_LABELS)
        list(APPEND properties RUN_SERIAL TRUE)
    elseif("x11" IN_LIST ARG_LABELS)
        list(APPEND properties RESOURCE_LOCK x11-display)
    elseif("dbus" IN_LIST ARG_LABELS OR "kwin" IN_LIST ARG_LABELS)
        list(APPEND properties RESOURCE_LOCK session-bus)
    endif()
    if(ARG_ENVIRONMENT)
        list(APPEND properties ENVIRONMENT "${ARG_ENVIRONMENT}")
    endif()
    list(APPEND properties ${ARG_PROPERTIES})
    gtest_discover_tests(${target} PROPERTIES ${properties} DISCOVERY_TIMEOUT 60)
endfunction()

# add_quillmark_test(NAME SOURCES file... LIBS lib... LABELS label...)
function(add_quillmark_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} qm_test_support GTest::gtest GTest::gmock)
    quillmark_use_test_printers(${name})
    if(NOT ARG_LABELS)
        set(ARG_LABELS unit)
    endif()
    quillmark_discover_tests(${name} LABELS ${ARG_LABELS})
endfunction()

function(quillmark_use_test_printers target)
    target_compile_options(${target} PRIVATE -include ${PROJECT_SOURCE_DIR}/tests/support/QtPrinters.h)
endfunction()
