// Functions of system DLLs looked up at run time: those that only a rarely used feature calls
// (the registry and the shell, for the About box; DWM, for the restore request), so that
// start-up does not load their DLLs,
// and those that older systems lack (user32's DPI functions).
#pragma once

#include <windows.h>

namespace volane::win32 {

// The function NAME of the system DLL named DLL, or null when either is missing. The DLL is
// taken from the system folder only, and stays loaded for the process's life.
template <typename Function>
Function LateBound(const wchar_t* dll, const char* name) {
    const HMODULE module = ::LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace volane::win32
