# Fails when the Windows workflow's GoogleTest filter or the 144-DPI list names a test that the
# Win32 test executable does not have, or holds a wildcard: a renamed test would otherwise drop
# out of a run unseen. RUN is empty where the executable runs as it is (on Windows).
#   cmake -DRUN=EMULATOR -DEXE=... -DWORKFLOW=windows.yml -DAT_144DPI=A:B -P TestNames.cmake
cmake_minimum_required(VERSION 3.20)

# Every test, whatever filter the environment sets (the workflow sets one for its run).
execute_process(COMMAND ${RUN} ${EXE} --gtest_list_tests --gtest_filter=*
                OUTPUT_VARIABLE listing RESULT_VARIABLE status)
string(REPLACE "\r" "" listing "${listing}")
# "Suite." on a line of its own, then each of its tests indented; a comment may follow either.
set(tests "")
string(REGEX MATCHALL "[^\n]+" lines "${listing}")
foreach(line IN LISTS lines)
    if(line MATCHES "^([A-Za-z_][A-Za-z0-9_/]*\\.)")
        set(suite ${CMAKE_MATCH_1})
    elseif(line MATCHES "^  ([A-Za-z_][A-Za-z0-9_/]*)" AND DEFINED suite)
        list(APPEND tests ${suite}${CMAKE_MATCH_1})
    endif()
endforeach()
list(LENGTH tests count)
if(NOT status EQUAL 0 OR count EQUAL 0)
    message(FATAL_ERROR "${EXE} listed no tests (exit status ${status}):\n${listing}")
endif()

set(problems "")
# check_names(WHERE PATTERNS): each pattern of the colon-separated list is one existing test.
function(check_names where patterns)
    string(REPLACE ":" ";" patterns "${patterns}")
    foreach(name IN LISTS patterns)
        if(name MATCHES "[*?]")
            list(APPEND problems "${where} has the wildcard pattern \"${name}\" (name each test)")
        elseif(NOT name IN_LIST tests)
            list(APPEND problems "${where} names ${name}, which ${EXE} does not have")
        endif()
    endforeach()
    set(problems "${problems}" PARENT_SCOPE)
endfunction()

file(READ ${WORKFLOW} workflow)
string(REGEX MATCHALL "GTEST_FILTER: *[\"']?[^\"'\n]*" filters "${workflow}")
if(NOT filters)
    list(APPEND problems "${WORKFLOW} sets no GTEST_FILTER")
endif()
foreach(filter IN LISTS filters)
    string(REGEX REPLACE "^GTEST_FILTER: *[\"']?" "" filter "${filter}")
    # POSITIVE-NEGATIVE: the tests run, then those left out; test names hold no "-".
    string(REPLACE "-" ":" filter "${filter}")
    string(REGEX REPLACE "^:+|:+$" "" filter "${filter}")
    string(REGEX REPLACE "::+" ":" filter "${filter}")
    check_names("the workflow's filter" "${filter}")
endforeach()
if(AT_144DPI STREQUAL "")
    list(APPEND problems "the 144-DPI list is empty")
endif()
check_names("the 144-DPI list" "${AT_144DPI}")

if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "Win32 test names:\n  ${text}")
endif()
message(STATUS "Win32 test names: ${count} tests; the workflow's filter and the 144-DPI list name existing tests")
