# Runs one fuzz target for ctest (cmake -P).
#   MODE=regress: the target once over every kept input: the seeds in CORPUS and the past
#                 crashes in CRASHES. Nothing is written anywhere.
#   MODE=fuzz:    a fresh copy of those inputs in WORK_DIR (never the source tree, since libFuzzer
#                 adds what it finds to its corpus folder), mutated for SECONDS seconds; a failing
#                 input lands at ARTIFACT_PREFIX.
foreach(_required FUZZER MODE CORPUS CRASHES)
    if(NOT DEFINED ${_required})
        message(FATAL_ERROR "RunFuzzer.cmake: ${_required} is not set")
    endif()
endforeach()

set(_inputs)
foreach(_dir IN ITEMS "${CORPUS}" "${CRASHES}")
    if(IS_DIRECTORY "${_dir}")
        file(GLOB _found LIST_DIRECTORIES false "${_dir}/*")
        list(APPEND _inputs ${_found})
    endif()
endforeach()
# Hidden files (editor backups, placeholders) are no inputs.
list(FILTER _inputs EXCLUDE REGEX "/\\.[^/]*$")
if(NOT _inputs)
    message(FATAL_ERROR "No inputs in ${CORPUS}: a fuzz target needs its seed corpus")
endif()

if(MODE STREQUAL "regress")
    execute_process(COMMAND "${FUZZER}" ${_inputs} RESULT_VARIABLE _result)
    if(NOT _result EQUAL 0)
        message(FATAL_ERROR "${FUZZER} failed on a kept input (exit ${_result}); see above")
    endif()
elseif(MODE STREQUAL "fuzz")
    foreach(_required SECONDS MAX_LEN WORK_DIR ARTIFACT_PREFIX)
        if(NOT DEFINED ${_required})
            message(FATAL_ERROR "RunFuzzer.cmake: ${_required} is not set")
        endif()
    endforeach()
    file(REMOVE_RECURSE "${WORK_DIR}")
    file(MAKE_DIRECTORY "${WORK_DIR}" "${ARTIFACT_PREFIX}")
    file(COPY ${_inputs} DESTINATION "${WORK_DIR}")
    execute_process(
        COMMAND "${FUZZER}" -max_total_time=${SECONDS} -runs=-1 -max_len=${MAX_LEN} -timeout=10
                -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=${ARTIFACT_PREFIX}
                "${WORK_DIR}"
        RESULT_VARIABLE _result)
    if(NOT _result EQUAL 0)
        message(FATAL_ERROR "${FUZZER} found a failing input (exit ${_result}); it is in "
                            "${ARTIFACT_PREFIX}. Keep it under ${CRASHES}/ (see "
                            "tests/fuzz/README.md).")
    endif()
else()
    message(FATAL_ERROR "RunFuzzer.cmake: unknown MODE '${MODE}'")
endif()
