# The release package: a ZIP with Volane.exe, a sample setup.ini and the read-me.
# scripts/package builds Volane.exe and runs CPack; by hand:
#   cmake --build --preset mingw --target Volane && cpack --config build/mingw/CPackConfig.cmake
# which leaves the ZIP in build/mingw/package.
set(_volane_package_dir ${CMAKE_CURRENT_LIST_DIR}/../resources/package)
install(TARGETS Volane RUNTIME DESTINATION . COMPONENT volane)
install(FILES ${_volane_package_dir}/setup.ini ${_volane_package_dir}/readme.txt
    DESTINATION . COMPONENT volane)

# Packaging installs Volane.exe only; it need not build the tests first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Volane)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_TWEAK}")
set(CPACK_PACKAGE_FILE_NAME "Volane-${CPACK_PACKAGE_VERSION}-win64")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
# Only the program's own component: GoogleTest and anything else stay out.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Volane;volane;/")
set(CPACK_STRIP_FILES ON)
include(CPack)
