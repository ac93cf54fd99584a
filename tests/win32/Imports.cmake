# Volane.exe loads at start only the DLLs that start-up uses: the registry (ADVAPI32) and the
# shell (SHELL32) are bound when the About box first needs them, DWM (DWMAPI) when a second
# start first restores the window; IMM32 turns the input method off before the first window.
#   cmake -DOBJDUMP=... -DEXE=Volane.exe -P Imports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "objdump could not read ${EXE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
list(TRANSFORM lines REPLACE "DLL Name: " "")
list(TRANSFORM lines TOUPPER)
list(SORT lines)
set(expected "COMCTL32.DLL;GDI32.DLL;IMM32.DLL;KERNEL32.DLL;MSVCRT.DLL;USER32.DLL")
if(NOT lines STREQUAL expected)
    message(FATAL_ERROR "Volane.exe imports ${lines}, expected ${expected}")
endif()
