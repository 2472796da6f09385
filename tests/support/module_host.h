#pragma once
// End-to-end tests drive Korvane.fmx the way FileMaker Pro does: through the host
// emulator, the call record, FMExternCallProc and the result handle. The test
// programs are built beside the module, so it is found next to the running program.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "host/host.h"

namespace korvane::test {

inline std::string moduleBesideProgram(const char* fileName = "Korvane.fmx") {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length);
    folder.erase(folder.find_last_of("\\/") + 1);
    return folder + fileName;
}

// A host with the module loaded and started; each test gets a fresh one.
class ModuleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(host.load(moduleBesideProgram())) << host.error();
        if (startOnSetUp) {
            ASSERT_EQ(host.startup(), host::kDefaultInterfaceVersion);
        }
    }

    // Calls a function by name and checks that the call gave back everything it took.
    std::string call(const char* name, const std::string& parameter) {
        auto answer = host.call(name, parameter);
        EXPECT_TRUE(answer.has_value()) << "no function " << name;
        if (!answer) {
            return "<no function>";
        }
        EXPECT_TRUE(answer->clean()) << name << " " << parameter << ": leaked " << answer->leakedPointers
                                     << " pointers, " << answer->leakedHandles << " handles";
        return answer->stored ? answer->result : "<none>";
    }

    host::Host host;
    bool startOnSetUp = true;
};

}  // namespace korvane::test
