// What probe.exe and probehook.dll agree on for reading another process's menu.
#pragma once

#include <cstddef>

namespace volane::probe {

inline constexpr wchar_t kMenuDumpMessage[] = L"Volane.Probe.MenuDump";
inline constexpr wchar_t kMenuDumpMapping[] = L"Local\\Volane.Probe.MenuDump";
inline constexpr std::size_t kMenuDumpBytes = 64 * 1024;
inline constexpr char kMenuDumpHookName[] = "MenuDumpHook";

}  // namespace volane::probe
