#pragma once
// Where the host tests find their modules and the fmhost command.

#include <windows.h>

#include <string>

namespace korvane::host::testing {

// A file in the directory of the running test program.
inline std::string besideTest(const char* name) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory(path, length < MAX_PATH ? length : 0);
    return directory.substr(0, directory.find_last_of("\\/") + 1) + name;
}

inline std::string standinModule() {
    return besideTest("standin_module.fmx");
}

}  // namespace korvane::host::testing
