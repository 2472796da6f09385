#pragma once
// Known gaps of Wine are marked in the tests, not hidden: a check that cannot pass on Wine
// because Wine is wrong is skipped (or replaced by a stand-in) only where this is true, so
// the same test stays strict on Windows.

#include <windows.h>

namespace korvane::test {

inline bool runningOnWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace korvane::test
