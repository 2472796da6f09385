// The host's memory callbacks, called directly: handle semantics, errors and guards.

#include "host/host_memory.h"

#include <gtest/gtest.h>

#include <cstring>

namespace korvane::host {
namespace {

TEST(HostMemory, HandleIsPointerToMasterPointerAndKeepsContentsWhenResized) {
    HostMemory memory;
    HostHandle handle = memory.hostNewHandle("abc");
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(std::string(*handle, 3), "abc");
    memory.setHandleSize(handle, 6);
    ASSERT_EQ(memory.memoryError(), kMemNoErr);
    EXPECT_EQ(memory.getHandleSize(handle), 6);
    EXPECT_EQ(std::string(*handle, 3), "abc");
    memory.setHandleSize(handle, 2);
    EXPECT_EQ(memory.handleBytes(handle), "ab");
    EXPECT_EQ(memory.resizeCount(handle), 2);
    memory.hostDisposeHandle(handle);
    EXPECT_EQ(memory.liveHandles(), 0u);
}

TEST(HostMemory, LockedHandleCannotGrowButShrinksInPlace) {
    HostMemory memory;
    HostHandle handle = memory.newHandle(8);
    memory.lockHandle(handle);
    EXPECT_TRUE(memory.isLocked(handle));
    char* data = *handle;
    memory.setHandleSize(handle, 9);
    EXPECT_EQ(memory.memoryError(), kMemLockedErr);
    EXPECT_EQ(memory.getHandleSize(handle), 8);
    memory.setHandleSize(handle, 4);
    EXPECT_EQ(memory.memoryError(), kMemNoErr);
    EXPECT_EQ(*handle, data);
    memory.unlockHandle(handle);
    memory.setHandleSize(handle, 9);
    EXPECT_EQ(memory.memoryError(), kMemNoErr);
    EXPECT_NE(*handle, data) << "an unlocked handle's data moves when it is resized";
    EXPECT_EQ(memory.faults(), MemoryFaults{});
}

TEST(HostMemory, BadArgumentsAnswerTheMemoryManagersErrors) {
    HostMemory memory;
    char* notOurs = nullptr;
    HostHandle unknown = &notOurs;
    struct Row {
        const char* name;
        void (*run)(HostMemory&, HostHandle);
        HostHandle handle;
        int16_t error;
    };
    const Row rows[] = {
        {"size of null", [](HostMemory& m, HostHandle h) { m.getHandleSize(h); }, nullptr, kMemNilHandleErr},
        {"size of unknown", [](HostMemory& m, HostHandle h) { m.getHandleSize(h); }, unknown, kMemWZErr},
        {"resize unknown", [](HostMemory& m, HostHandle h) { m.setHandleSize(h, 4); }, unknown, kMemWZErr},
        {"lock null", [](HostMemory& m, HostHandle h) { m.lockHandle(h); }, nullptr, kMemNilHandleErr},
        {"unlock unknown", [](HostMemory& m, HostHandle h) { m.unlockHandle(h); }, unknown, kMemWZErr},
    };
    int expectedBad = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.run(memory, row.handle);
        EXPECT_EQ(memory.memoryError(), row.error);
        EXPECT_EQ(memory.faults().badHandles, ++expectedBad);
    }
    EXPECT_EQ(memory.newHandle(-1), nullptr);
    EXPECT_EQ(memory.memoryError(), kMemSCErr);
    EXPECT_EQ(memory.newPointer(-1), nullptr);
    EXPECT_EQ(memory.memoryError(), kMemSCErr);
    memory.disposePointer(reinterpret_cast<HostPointer>(&notOurs));
    EXPECT_EQ(memory.memoryError(), kMemWZErr);
    EXPECT_EQ(memory.faults().badPointers, 1);
}

TEST(HostMemory, InjectedFailureHitsTheNthAllocationOfItsKindOnly) {
    HostMemory memory;
    memory.failAllocation(Allocation::kNewPointer, 2);
    HostHandle handle = memory.newHandle(1);  // another kind: not counted
    EXPECT_EQ(memory.memoryError(), kMemNoErr);
    HostPointer first = memory.newPointer(4);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(memory.newPointer(4), nullptr);
    EXPECT_EQ(memory.memoryError(), kMemFullErr);
    HostPointer third = memory.newPointer(4);
    EXPECT_NE(third, nullptr) << "the failure happens once";
    EXPECT_EQ(memory.livePointers(), 2u);

    memory.failAllocation(Allocation::kSetHandleSize);
    memory.setHandleSize(handle, 100);
    EXPECT_EQ(memory.memoryError(), kMemFullErr);
    EXPECT_EQ(memory.getHandleSize(handle), 1);
    memory.failAllocation(Allocation::kNewHandle, 1);
    memory.clearFailures();
    EXPECT_NE(memory.newHandle(0), nullptr);
    EXPECT_EQ(memory.faults().injectedFailures, 2);
    memory.disposePointer(first);
    memory.disposePointer(third);
    EXPECT_EQ(memory.livePointers(), 0u);
}

TEST(HostMemory, WriteBehindTheEndIsCountedOnce) {
    HostMemory memory;
    HostPointer pointer = memory.newPointer(3);
    HostHandle handle = memory.newHandle(2);
    pointer[3] = 'x';
    (*handle)[2] = 'y';
    memory.checkGuards();
    memory.checkGuards();
    EXPECT_EQ(memory.faults().overruns, 2);
    memory.disposePointer(pointer);
    EXPECT_EQ(memory.faults().overruns, 2);
}

}  // namespace
}  // namespace korvane::host
