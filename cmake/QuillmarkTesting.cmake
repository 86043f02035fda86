# One helper per kind of test. Labels let `ctest -L unit` run anywhere, while
# the x11, dbus and e2e labels need the private test desktop (scripts/test-desktop).
find_package(GTest REQUIRED)
include(GoogleTest)

# add_quillmark_test(NAME SOURCES file... LIBS lib... LABELS label...)
function(add_quillmark_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} qm_test_support GTest::gtest GTest::gmock)
    target_compile_options(${name} PRIVATE -include ${PROJECT_SOURCE_DIR}/tests/support/QtPrinters.h)
    if(NOT ARG_LABELS)
        set(ARG_LABELS unit)
    endif()
    gtest_discover_tests(${name}
        PROPERTIES LABELS "${ARG_LABELS}"
        DISCOVERY_TIMEOUT 60)
endfunction()
