# Writes the git revision of SOURCE_DIR into the header OUTPUT, and only when it changed, so
# that nothing is compiled again for a build of the same revision. Outside a git checkout of
# SOURCE_DIR itself (a build from a source tarball, also one unpacked inside another
# repository) the revision is empty.
set(revision "")
find_package(Git QUIET)
if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --show-toplevel
        WORKING_DIRECTORY ${SOURCE_DIR}
        RESULT_VARIABLE top_result OUTPUT_VARIABLE top
        OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    file(REAL_PATH "${SOURCE_DIR}" source_real)
    if(top_result EQUAL 0)
        file(REAL_PATH "${top}" top_real)
    endif()
    if(top_result EQUAL 0 AND top_real STREQUAL source_real)
        execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --short HEAD
            WORKING_DIRECTORY ${SOURCE_DIR}
            RESULT_VARIABLE head_result OUTPUT_VARIABLE head
            OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        execute_process(COMMAND ${GIT_EXECUTABLE} status --porcelain --untracked-files=no
            WORKING_DIRECTORY ${SOURCE_DIR}
            OUTPUT_VARIABLE changes OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        if(head_result EQUAL 0)
            set(revision "${head}")
            if(NOT changes STREQUAL "")
                string(APPEND revision "-dirty")
            endif()
        endif()
    endif()
endif()
set(text "#pragma once\n// Made by cmake/BuildRevision.cmake at build time.\n#define KT480_GIT_REVISION \"${revision}\"\n")
set(old "")
if(EXISTS "${OUTPUT}")
    file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL text)
    file(WRITE "${OUTPUT}" "${text}")
endif()
