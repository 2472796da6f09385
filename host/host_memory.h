#pragma once
// The host's memory as a plug-in sees it through the call record's callbacks:
// Mac-style handles (a pointer to a master pointer to the data), plain pointers and a
// memory error word. Every block carries guard bytes behind its data; a write past
// the end is counted when the block is resized, disposed or checked. The emulator
// counts what is live, so a test can see that a call gave back all it took, and can
// make a chosen allocation fail to reach a module's out-of-memory paths.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/call_record.h"

namespace korvane::host {

// The memory manager's error codes, as the host answers them.
inline constexpr int16_t kMemNoErr = 0;
inline constexpr int16_t kMemFullErr = -108;       // not enough memory (or an injected failure)
inline constexpr int16_t kMemNilHandleErr = -109;  // a null handle was passed
inline constexpr int16_t kMemWZErr = -111;         // not a block of this host (unknown or already freed)
inline constexpr int16_t kMemSCErr = -116;         // a negative size
inline constexpr int16_t kMemLockedErr = -117;     // a locked handle cannot grow: its data may not move

// The callbacks through which a module allocates; each can be made to fail.
enum class Allocation { kNewPointer, kNewHandle, kSetHandleSize };

// Misuse seen since the last resetFaults().
struct MemoryFaults {
    int badHandles = 0;   // null, unknown or freed handles passed to a callback
    int badPointers = 0;  // unknown or already disposed pointers passed to dispose pointer
    int overruns = 0;     // blocks whose guard bytes behind the data were overwritten
    int injectedFailures = 0;
    bool operator==(const MemoryFaults&) const = default;
};

class HostMemory {
  public:
    HostMemory();
    ~HostMemory();
    HostMemory(const HostMemory&) = delete;
    HostMemory& operator=(const HostMemory&) = delete;

    // The callbacks are plain functions; they serve the memory made current here (a new
    // HostMemory makes itself current; the Host makes its own current before each call).
    void makeCurrent();
    // Puts the eight memory callbacks into a call record.
    static void installCallbacks(ExternCallRecord& record);

    // What the callbacks do, open to tests. Each sets memoryError().
    HostHandle newHandle(int32_t size);
    void setHandleSize(HostHandle handle, int32_t size);
    int32_t getHandleSize(HostHandle handle);
    void lockHandle(HostHandle handle);
    void unlockHandle(HostHandle handle);
    HostPointer newPointer(int32_t size);
    void disposePointer(HostPointer pointer);
    int16_t memoryError() const { return memoryError_; }

    // The host's own use: never injected to fail, never touching memoryError().
    HostHandle hostNewHandle(std::string_view bytes);
    void hostDisposeHandle(HostHandle handle);
    std::string handleBytes(HostHandle handle) const;  // empty for an unknown handle
    bool isHandle(HostHandle handle) const;
    bool isLocked(HostHandle handle) const;
    int resizeCount(HostHandle handle) const;  // set handle size calls on it, failed ones included

    // The nth allocation from now through `kind` fails with kMemFullErr (1 = the next
    // one); 0 cancels. Each kind has one pending failure at a time.
    void failAllocation(Allocation kind, int nth = 1);
    void clearFailures();

    size_t liveHandles() const { return handles_.size(); }
    size_t livePointers() const { return pointers_.size(); }
    // Checks the guard bytes of every live block, counting each damaged block once.
    void checkGuards();
    const MemoryFaults& faults() const { return faults_; }
    void resetFaults() { faults_ = {}; }

  private:
    struct Block;
    bool injectFailure(Allocation kind);
    Block* findHandle(HostHandle handle);
    const Block* findHandle(HostHandle handle) const;
    HostHandle createHandle(int32_t size);
    void checkGuard(Block& block);

    std::map<HostHandle, std::unique_ptr<Block>> handles_;
    std::map<HostPointer, std::unique_ptr<Block>> pointers_;
    int pendingFailure_[3] = {0, 0, 0};
    int16_t memoryError_ = kMemNoErr;
    MemoryFaults faults_;
};

}  // namespace korvane::host
