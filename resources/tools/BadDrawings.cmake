# Runs artgen on copies of resources/art in which one drawing is replaced by a broken one from
# bad-drawings/. Each broken drawing starts with two comment lines:
#   # replaces: <the drawing it stands in for>
#   # expect: <the message artgen must print>
# artgen must fail with exit status 2, print that message, and leave every image file as it was.
# Usage: cmake -DARTGEN=<artgen> -DRESOURCES=<resources dir> -DWORK=<scratch dir> -P BadDrawings.cmake
foreach(_var ARTGEN RESOURCES WORK)
    if(NOT DEFINED ${_var})
        message(FATAL_ERROR "${_var} is not set")
    endif()
endforeach()

file(GLOB _cases ${RESOURCES}/tools/bad-drawings/*.txt)
if(NOT _cases)
    message(FATAL_ERROR "no broken drawings in ${RESOURCES}/tools/bad-drawings")
endif()

set(_failures 0)
foreach(_case IN LISTS _cases)
    get_filename_component(_name ${_case} NAME_WE)
    file(STRINGS ${_case} _replaces REGEX "^# replaces: " LIMIT_COUNT 1)
    file(STRINGS ${_case} _expect REGEX "^# expect: " LIMIT_COUNT 1)
    string(REPLACE "# replaces: " "" _replaces "${_replaces}")
    string(REPLACE "# expect: " "" _expect "${_expect}")
    if(NOT EXISTS ${RESOURCES}/art/${_replaces})
        message(FATAL_ERROR "${_name}: art/${_replaces} does not exist")
    endif()

    set(_dir ${WORK}/${_name})
    file(REMOVE_RECURSE ${_dir})
    file(COPY ${RESOURCES}/art DESTINATION ${_dir})
    file(COPY_FILE ${_case} ${_dir}/art/${_replaces})
    # Every image starts as a marker, so any file artgen writes shows.
    file(GLOB _images RELATIVE ${RESOURCES}/images ${RESOURCES}/images/*)
    foreach(_image IN LISTS _images)
        file(WRITE ${_dir}/images/${_image} "untouched")
    endforeach()

    execute_process(COMMAND ${ARTGEN} ${_dir}/art ${_dir}/images
        RESULT_VARIABLE _rc OUTPUT_VARIABLE _out ERROR_VARIABLE _err)
    string(FIND "${_err}" "${_expect}" _at)
    set(_problems "")
    if(NOT _rc EQUAL 2)
        string(APPEND _problems " exit status ${_rc}, not 2;")
    endif()
    if(_at EQUAL -1)
        string(APPEND _problems " message \"${_err}\" lacks \"${_expect}\";")
    endif()
    foreach(_image IN LISTS _images)
        file(READ ${_dir}/images/${_image} _content LIMIT 16)
        if(NOT _content STREQUAL "untouched")
            string(APPEND _problems " ${_image} was written;")
        endif()
    endforeach()
    if(_problems)
        message(SEND_ERROR "${_name}:${_problems}")
        math(EXPR _failures "${_failures} + 1")
    else()
        message(STATUS "${_name}: refused as expected")
    endif()
endforeach()

list(LENGTH _cases _count)
if(_failures GREATER 0)
    message(FATAL_ERROR "${_failures} of ${_count} broken drawings were not handled as expected")
endif()
message(STATUS "all ${_count} broken drawings refused, no image written")
