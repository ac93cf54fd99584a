# The release package: a ZIP with Volane.exe, a sample setup.ini and the read-me.
# scripts/package builds Volane.exe and runs CPack; by hand:
#   cmake --build --preset mingw --target Volane && cpack --config build/mingw/CPackConfig.cmake
# which leaves the ZIP in build/mingw/package.
# The version in the file name comes from resources/identity.h, the one place that holds it.

file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../resources/identity.h _volane_identity
    REGEX "^#define VOLANE_VERSION_(MAJOR|MINOR|REVISION) [0-9]+")
foreach(_line IN LISTS _volane_identity)
    if(_line MATCHES "^#define VOLANE_VERSION_([A-Z]+) ([0-9]+)")
        set(_volane_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
    endif()
endforeach()
foreach(_part MAJOR MINOR REVISION)
    if(NOT DEFINED _volane_${_part})
        message(FATAL_ERROR "resources/identity.h defines no VOLANE_VERSION_${_part}")
    endif()
endforeach()

set(_volane_package_dir ${CMAKE_CURRENT_LIST_DIR}/../resources/package)
install(TARGETS Volane RUNTIME DESTINATION . COMPONENT volane)
install(FILES ${_volane_package_dir}/setup.ini ${_volane_package_dir}/readme.txt
    DESTINATION . COMPONENT volane)

# Packaging installs Volane.exe only; it need not build the tests first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Volane)
set(CPACK_PACKAGE_VERSION "${_volane_MAJOR}.${_volane_MINOR}.${_volane_REVISION}")
set(CPACK_PACKAGE_FILE_NAME "Volane-${CPACK_PACKAGE_VERSION}-win64")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
# Only the program's own component: GoogleTest and anything else stay out.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Volane;volane;/")
set(CPACK_STRIP_FILES ON)
include(CPack)
