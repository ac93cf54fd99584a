# Fails when the Windows workflow's GoogleTest filter or the 144-DPI list names a test that the
# Win32 test executable does not have, or holds a wildcard: a renamed test would otherwise drop
# out of a run unseen. RUN is empty where the executable runs as it is (on Windows).
#   cmake -DRUN=EMULATOR -DEXE=... -DWORKFLOW=windows.yml -DAT_144DPI=A:B -P TestNames.cmake
cmake_minimum_required(VERSION 3.20)

# Every test, whatever filter the environment sets: "Suite." on a line, its tests indented.
execute_process(COMMAND ${RUN} ${EXE} --gtest_list_tests --gtest_filter=*
                OUTPUT_VARIABLE listing RESULT_VARIABLE status)
string(REGEX MATCHALL "[^\r\n]+" lines "${listing}")
set(tests "")
foreach(line IN LISTS lines)
    if(line MATCHES "^([A-Za-z_][A-Za-z0-9_/]*\\.)")
        set(suite ${CMAKE_MATCH_1})
    elseif(line MATCHES "^  ([A-Za-z_][A-Za-z0-9_/]*)" AND DEFINED suite)
        list(APPEND tests ${suite}${CMAKE_MATCH_1})
    endif()
endforeach()
if(NOT status EQUAL 0 OR NOT tests)
    message(FATAL_ERROR "${EXE} listed no tests (exit status ${status}):\n${listing}")
endif()

# The workflow's filter is POSITIVE-NEGATIVE, names joined by ":"; test names hold no "-".
file(READ ${WORKFLOW} workflow)
string(REGEX MATCHALL "GTEST_FILTER: *[\"']?[^\"'\n]*" filters "${workflow}")
list(TRANSFORM filters REPLACE "^GTEST_FILTER: *[\"']?" "")
string(REGEX REPLACE "[-:;]+" ";" named "${filters};${AT_144DPI}")
list(REMOVE_ITEM named "")
set(problems "")
if(NOT filters OR AT_144DPI STREQUAL "")
    list(APPEND problems "the workflow sets no GTEST_FILTER, or the 144-DPI list is empty")
endif()
foreach(name IN LISTS named)
    if(name MATCHES "[*?]" OR NOT name IN_LIST tests)
        list(APPEND problems "${name} is a wildcard or a test that ${EXE} does not have")
    endif()
endforeach()
if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "Win32 test names:\n  ${text}")
endif()
