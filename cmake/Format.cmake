# Checks that every C++ source is laid out as the repository's .clang-format says, with the
# clang-format that scripts/bootstrap installs (Debian's). CTest runs it as the test
# clang_format:
#
#   cmake -DCLANG_FORMAT=PROGRAM -DSOURCE=ROOT -P cmake/Format.cmake
#
# The sources are found when the test runs, so a file added since the configure counts too. The
# fuzz targets' kept inputs are data, not sources.
set(folders app forms modules platform bench tests resources/tools scripts/soak.d)
set(sources)
foreach(folder IN LISTS folders)
    file(GLOB_RECURSE found ${SOURCE}/${folder}/*.cpp ${SOURCE}/${folder}/*.h)
    list(APPEND sources ${found})
endforeach()
list(FILTER sources EXCLUDE REGEX "/tests/fuzz/corpus/")
list(LENGTH sources count)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources}
                WORKING_DIRECTORY ${SOURCE} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "clang-format: the lines above differ from .clang-format's layout; "
                        "clang-format -i FILE lays a file out")
endif()
message(STATUS "clang-format: ${count} sources as .clang-format lays them out")
