# One QtTest suite: its executable, its CTest entry, offscreen, and never beyond loopback.
#   kt480_add_test(NAME SOURCES file... LIBS lib... [TIMEOUT seconds] [PROGRAMS target...])
# Every PROGRAMS target is built first and its path reaches the test as <TARGET>_PATH.
# KT480_TIMEOUT_SCALE stretches every time-out (a sanitizer build runs slower).
set(KT480_TIMEOUT_SCALE 1 CACHE STRING "Factor for the time-outs of the test suites")
function(kt480_add_test name)
    cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;PROGRAMS;DEFINITIONS" ${ARGN})
    add_executable(test_${name} ${T_SOURCES})
    # The suites' own code is compiled without optimisation: it only drives the libraries
    # (built as configured), and a build of the hundred suites takes a third less time.
    target_compile_options(test_${name} PRIVATE -O0)
    target_link_libraries(test_${name} PRIVATE ${T_LIBS} Qt6::Test)
    target_include_directories(test_${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
    foreach(program ${T_PROGRAMS})
        string(TOUPPER ${program} upper)
        target_compile_definitions(test_${name} PRIVATE ${upper}_PATH="$<TARGET_FILE:${program}>")
        add_dependencies(test_${name} ${program})
    endforeach()
    if(T_DEFINITIONS)
        target_compile_definitions(test_${name} PRIVATE ${T_DEFINITIONS})
    endif()
    add_test(NAME ${name} COMMAND test_${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KT480_LOOPBACK_ONLY=1")
    if(T_TIMEOUT)
        math(EXPR timeout "${T_TIMEOUT} * ${KT480_TIMEOUT_SCALE}")
        set_tests_properties(${name} PROPERTIES TIMEOUT ${timeout})
    endif()
endfunction()
