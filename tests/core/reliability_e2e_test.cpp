// Standing reliability checks through the host emulator: a soak of mixed calls with the
// host's leak accounting and the process's handle and GUI object counts before and after;
// load/start-up/shutdown/unload cycles in one process; and every host allocation of a set of
// calls made to fail in turn.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/status.h"
#include "tests/files/temp_folder.h"
#include "tests/media/test_images.h"
#include "tests/support/module_host.h"
#include "tests/support/wine_gap.h"

namespace korvane {
namespace {

constexpr int kSoakCalls = 10000;
constexpr int kCycles = 100;
// Rounds run before the counts are taken: lazily made system objects (COM, WIC, fonts) are
// made once and kept by the system, not by us.
constexpr int kWarmUpRounds = 2;

struct Call {
    const char* name;
    std::string parameter;
};

struct ProcessCounts {
    DWORD handles = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    DWORD lowestFreeHandle = 0;
};

// The value of the next kernel handle. Wine hands out the lowest free slot of its handle table,
// so a handle kept open below it moves it up.
DWORD lowestFreeHandle() {
    HANDLE probe = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const auto value = static_cast<DWORD>(reinterpret_cast<uintptr_t>(probe));
    CloseHandle(probe);
    return value;
}

ProcessCounts processCounts() {
    ProcessCounts counts;
    GetProcessHandleCount(GetCurrentProcess(), &counts.handles);
    counts.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    counts.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    counts.lowestFreeHandle = lowestFreeHandle();
    return counts;
}

void expectNoGrowth(const ProcessCounts& before, const ProcessCounts& after) {
    std::printf(
        "handles %lu -> %lu, GDI objects %lu -> %lu, USER objects %lu -> %lu, lowest free handle %#lx -> %#lx\n",
        before.handles, after.handles, before.gdiObjects, after.gdiObjects, before.userObjects, after.userObjects,
        before.lowestFreeHandle, after.lowestFreeHandle);
    if (test::runningOnWine()) {
        // A known Wine gap: the handle count and the GUI object counts answer 0 there, so the
        // handle table's lowest free slot stands in for the handle count.
        EXPECT_LE(after.lowestFreeHandle, before.lowestFreeHandle) << "kernel handles kept open";
    }
    EXPECT_LE(after.handles, before.handles) << "process handles";
    EXPECT_LE(after.gdiObjects, before.gdiObjects) << "GDI objects";
    EXPECT_LE(after.userObjects, before.userObjects) << "USER objects";
}

class ReliabilityTest : public ::testing::Test, protected test::TempFolderItems {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folderMade());
        const media::Bitmap pattern = media::testing::makePattern(9, 4, media::kDepth24);
        const media::testing::Bytes tga = media::testing::writeTga(pattern, {10, 24, true});
        writeFile("i.tga", std::string(tga.begin(), tga.end()));
        writeFile("a.txt", "alpha");
        makeFolder("f");
    }

    std::string arg(const char* name, const std::string& relative) const {
        return std::string(name) + "=" + test::quotedPath(at(relative));
    }

    // One round of mixed calls: answers and failures of most built functions, files made and
    // removed again, so that a round leaves the folder as it found it.
    std::vector<Call> round() const {
        return {
            {"KUtl-Version", "DEBUG"},
            {"KUtl-Tag", "TAG=B A=1 B=2"},
            {"KUtl-TagList", "A=1 b=2 C | D"},
            {"KUtl-CalcRect", "0,0,100,50 WIDTH"},
            {"KUtl-CalcPoint", "3,4 H"},
            {"KUtl-CalcColor", "#FF8000 DARKEN"},
            {"KImg-ImageInfo", arg("PATH", "i.tga")},
            {"KImg-ImageInfo", arg("PATH", "a.txt")},
            {"KImg-ImageInfo", "SRC=ftp:"},
            {"KUtl-FileInfo", arg("PATH", "a.txt")},
            {"KUtl-FolderItemCount", arg("PATH", "f")},
            {"KUtl-NewFolder", arg("PATH", "f") + " NAME=n"},
            {"KUtl-CopyFile", arg("SRC", "a.txt") + " " + arg("DEST", "f\\n\\")},
            {"KUtl-GetFolderItem", arg("PATH", "f\\n") + " INDEX=1"},
            {"KUtl-DeleteFile", arg("PATH", "f\\n")},
            {"KUtl-NewFolder", arg("PATH", "f") + " NAME='..\\x'"},
            {"KUtl-SetFileInfo", arg("PATH", "a.txt") + " INVISIBLE=no"},
            {"KUtl-VolumeCount", ""},
            {"#99", ""},
        };
    }
};

TEST_F(ReliabilityTest, SoakOfMixedCallsLeavesNothingBehind) {
    host::Host host;
    ASSERT_TRUE(host.load(test::moduleBesideProgram())) << host.error();
    ASSERT_EQ(host.startup(), host::kDefaultInterfaceVersion);
    const std::vector<Call> calls = round();
    for (int i = 0; i < kWarmUpRounds; ++i) {
        for (const Call& call : calls) {
            host.call(call.name, call.parameter);
        }
    }
    const ProcessCounts before = processCounts();
    const size_t handlesBefore = host.memory().liveHandles();
    const size_t pointersBefore = host.memory().livePointers();
    int unclean = 0;
    for (int i = 0; i < kSoakCalls; ++i) {
        const Call& call = calls[static_cast<size_t>(i) % calls.size()];
        const auto answer = host.call(call.name, call.parameter);
        ASSERT_TRUE(answer.has_value()) << call.name;
        if (!answer->clean() && unclean++ < 5) {
            ADD_FAILURE() << "call " << i << " " << call.name << " " << call.parameter << " did not give back";
        }
    }
    EXPECT_EQ(unclean, 0);
    EXPECT_EQ(host.memory().liveHandles(), handlesBefore);
    EXPECT_EQ(host.memory().livePointers(), pointersBefore);
    host.pumpMessages();
    expectNoGrowth(before, processCounts());
    EXPECT_FALSE(exists("f\\n"));
    EXPECT_FALSE(exists("x"));
}

TEST_F(ReliabilityTest, LoadAndUnloadCyclesGiveEverythingBack) {
    const std::string module = test::moduleBesideProgram();
    const char* moduleName = "Korvane.fmx";
    ProcessCounts before;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        if (cycle == kWarmUpRounds) {
            before = processCounts();
        }
        {
            host::Host host;
            ASSERT_TRUE(host.load(module)) << "cycle " << cycle << ": " << host.error();
            ASSERT_EQ(host.startup(), host::kDefaultInterfaceVersion) << "cycle " << cycle;
            for (const Call& call : {Call{"KUtl-Version", ""}, Call{"KUtl-TagList", "A=1 B"},
                                     Call{"KImg-ImageInfo", arg("PATH", "i.tga")}}) {
                const auto answer = host.call(call.name, call.parameter);
                ASSERT_TRUE(answer && answer->clean()) << "cycle " << cycle << " " << call.name;
            }
            host.shutdown();
        }  // the host unloads the module here
        ASSERT_EQ(GetModuleHandleA(moduleName), nullptr) << "cycle " << cycle << ": the module stayed loaded";
    }
    expectNoGrowth(before, processCounts());
}

TEST_F(ReliabilityTest, EveryHostAllocationCanFail) {
    host::Host host;
    ASSERT_TRUE(host.load(test::moduleBesideProgram())) << host.error();
    ASSERT_EQ(host.startup(), host::kDefaultInterfaceVersion);
    const std::vector<Call> calls = {
        {"KUtl-Version", "DEBUG"},
        {"KUtl-TagList", "A=1 b=2 C | D"},
        {"KUtl-CalcRect", "0,0,100,50 WIDTH"},
        {"KImg-ImageInfo", arg("PATH", "i.tga")},
        {"KUtl-FileInfo", arg("PATH", "a.txt")},
        {"KUtl-GetFolderItem", arg("PATH", "f") + " INDEX=1"},
        {"#99", ""},
    };
    int runs = 0;
    for (const Call& call : calls) {
        for (host::Allocation kind :
             {host::Allocation::kNewPointer, host::Allocation::kNewHandle, host::Allocation::kSetHandleSize}) {
            // N counts up until the call makes fewer than N allocations of this kind.
            for (int nth = 1;; ++nth) {
                SCOPED_TRACE(::testing::Message() << call.name << " " << call.parameter << ": allocation kind "
                                                  << static_cast<int>(kind) << " number " << nth);
                host.memory().failAllocation(kind, nth);
                const auto answer = host.call(call.name, call.parameter);
                host.memory().clearFailures();
                ++runs;
                ASSERT_TRUE(answer.has_value());
                EXPECT_TRUE(answer->clean());
                if (answer->faults.injectedFailures == 0) {
                    break;
                }
            }
        }
    }
    std::printf("memory failure sweep: %d calls\n", runs);
    // The module still answers once memory is there again.
    EXPECT_TRUE(host.call("KUtl-TagList", "A B")->result == "A B");
}

}  // namespace
}  // namespace korvane
