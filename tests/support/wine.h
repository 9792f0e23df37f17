// Whether the Windows tests run under Wine, where a few things of the
// system differ (no access lists are enforced; its Z: drive is the Linux
// root).
#pragma once

#ifdef _WIN32
#include <windows.h>

namespace gm::test {

inline bool runningUnderWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace gm::test
#endif
