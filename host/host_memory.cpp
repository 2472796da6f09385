#include "host/host_memory.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace korvane::host {

namespace {

// Bytes behind every block's data that must keep their pattern.
constexpr size_t kGuardSize = 16;
constexpr unsigned char kGuardByte = 0xFD;
// Fresh data is not zeroed, as on the real host: a module must not rely on its contents.
constexpr unsigned char kFreshByte = 0xCD;
// Freed data is overwritten before it goes, so a stale pointer reads nonsense.
constexpr unsigned char kFreedByte = 0xDD;

HostMemory* g_current = nullptr;

HostHandle __stdcall newHandleCallback(int32_t size) {
    return g_current ? g_current->newHandle(size) : nullptr;
}
void __stdcall setHandleSizeCallback(HostHandle handle, int32_t size) {
    if (g_current) {
        g_current->setHandleSize(handle, size);
    }
}
int32_t __stdcall getHandleSizeCallback(HostHandle handle) {
    return g_current ? g_current->getHandleSize(handle) : 0;
}
void __stdcall lockHandleCallback(HostHandle handle) {
    if (g_current) {
        g_current->lockHandle(handle);
    }
}
void __stdcall unlockHandleCallback(HostHandle handle) {
    if (g_current) {
        g_current->unlockHandle(handle);
    }
}
HostPointer __stdcall newPointerCallback(int32_t size) {
    return g_current ? g_current->newPointer(size) : nullptr;
}
void __stdcall disposePointerCallback(HostPointer pointer) {
    if (g_current) {
        g_current->disposePointer(pointer);
    }
}
int16_t __stdcall memoryErrorCallback() {
    return g_current ? g_current->memoryError() : kMemFullErr;
}

// Data plus guard; null when the system has no memory for it.
char* allocateData(int32_t size) {
    const size_t bytes = static_cast<size_t>(size);
    auto* data = static_cast<char*>(std::malloc(bytes + kGuardSize));
    if (data != nullptr) {
        std::memset(data, kFreshByte, bytes);
        std::memset(data + bytes, kGuardByte, kGuardSize);
    }
    return data;
}

void freeData(char* data, int32_t size) {
    std::memset(data, kFreedByte, static_cast<size_t>(size) + kGuardSize);
    std::free(data);
}

}  // namespace

struct HostMemory::Block {
    char* data = nullptr;  // for a handle, this is the master pointer
    int32_t size = 0;
    bool locked = false;
    int resizes = 0;
    bool overrunCounted = false;

    ~Block() {
        if (data != nullptr) {
            freeData(data, size);
        }
    }
};

HostMemory::HostMemory() {
    makeCurrent();
}

HostMemory::~HostMemory() {
    if (g_current == this) {
        g_current = nullptr;
    }
}

void HostMemory::makeCurrent() {
    g_current = this;
}

void HostMemory::installCallbacks(ExternCallRecord& record) {
    record.newHandle = &newHandleCallback;
    record.setHandleSize = &setHandleSizeCallback;
    record.getHandleSize = &getHandleSizeCallback;
    record.lockHandle = &lockHandleCallback;
    record.unlockHandle = &unlockHandleCallback;
    record.newPointer = &newPointerCallback;
    record.disposePointer = &disposePointerCallback;
    record.memoryError = &memoryErrorCallback;
}

bool HostMemory::injectFailure(Allocation kind) {
    int& pending = pendingFailure_[static_cast<int>(kind)];
    if (pending == 0 || --pending != 0) {
        return false;
    }
    ++faults_.injectedFailures;
    return true;
}

void HostMemory::failAllocation(Allocation kind, int nth) {
    pendingFailure_[static_cast<int>(kind)] = nth > 0 ? nth : 0;
}

void HostMemory::clearFailures() {
    for (int& pending : pendingFailure_) {
        pending = 0;
    }
}

HostMemory::Block* HostMemory::findHandle(HostHandle handle) {
    auto it = handles_.find(handle);
    return it == handles_.end() ? nullptr : it->second.get();
}

const HostMemory::Block* HostMemory::findHandle(HostHandle handle) const {
    auto it = handles_.find(handle);
    return it == handles_.end() ? nullptr : it->second.get();
}

void HostMemory::checkGuard(Block& block) {
    if (block.overrunCounted) {
        return;
    }
    const auto* guard = reinterpret_cast<const unsigned char*>(block.data) + block.size;
    for (size_t i = 0; i < kGuardSize; ++i) {
        if (guard[i] != kGuardByte) {
            block.overrunCounted = true;
            ++faults_.overruns;
            return;
        }
    }
}

void HostMemory::checkGuards() {
    for (auto& entry : handles_) {
        checkGuard(*entry.second);
    }
    for (auto& entry : pointers_) {
        checkGuard(*entry.second);
    }
}

HostHandle HostMemory::createHandle(int32_t size) {
    auto block = std::make_unique<Block>();
    block->data = allocateData(size);
    if (block->data == nullptr) {
        return nullptr;
    }
    block->size = size;
    HostHandle handle = &block->data;
    handles_.emplace(handle, std::move(block));
    return handle;
}

HostHandle HostMemory::newHandle(int32_t size) {
    if (size < 0) {
        memoryError_ = kMemSCErr;
        return nullptr;
    }
    HostHandle handle = injectFailure(Allocation::kNewHandle) ? nullptr : createHandle(size);
    memoryError_ = handle ? kMemNoErr : kMemFullErr;
    return handle;
}

void HostMemory::setHandleSize(HostHandle handle, int32_t size) {
    Block* block = findHandle(handle);
    if (block == nullptr) {
        ++faults_.badHandles;
        memoryError_ = handle ? kMemWZErr : kMemNilHandleErr;
        return;
    }
    ++block->resizes;
    if (size < 0) {
        memoryError_ = kMemSCErr;
        return;
    }
    if (injectFailure(Allocation::kSetHandleSize)) {
        memoryError_ = kMemFullErr;
        return;
    }
    checkGuard(*block);
    if (block->locked && size > block->size) {
        // A locked block stays where it is, and there is no room behind it.
        memoryError_ = kMemLockedErr;
        return;
    }
    if (block->locked) {
        // Shrinking in place: the data keeps its address, the guard moves down.
        std::memset(block->data + size, kGuardByte, kGuardSize);
        block->size = size;
        memoryError_ = kMemNoErr;
        return;
    }
    // An unlocked block always moves, so a module that kept its old data pointer is caught.
    char* data = allocateData(size);
    if (data == nullptr) {
        memoryError_ = kMemFullErr;
        return;
    }
    std::memcpy(data, block->data, static_cast<size_t>(size < block->size ? size : block->size));
    freeData(block->data, block->size);
    block->data = data;
    block->size = size;
    block->overrunCounted = false;
    memoryError_ = kMemNoErr;
}

int32_t HostMemory::getHandleSize(HostHandle handle) {
    const Block* block = findHandle(handle);
    if (block == nullptr) {
        ++faults_.badHandles;
        memoryError_ = handle ? kMemWZErr : kMemNilHandleErr;
        return 0;
    }
    memoryError_ = kMemNoErr;
    return block->size;
}

void HostMemory::lockHandle(HostHandle handle) {
    Block* block = findHandle(handle);
    if (block == nullptr) {
        ++faults_.badHandles;
        memoryError_ = handle ? kMemWZErr : kMemNilHandleErr;
        return;
    }
    block->locked = true;
    memoryError_ = kMemNoErr;
}

void HostMemory::unlockHandle(HostHandle handle) {
    Block* block = findHandle(handle);
    if (block == nullptr) {
        ++faults_.badHandles;
        memoryError_ = handle ? kMemWZErr : kMemNilHandleErr;
        return;
    }
    block->locked = false;
    memoryError_ = kMemNoErr;
}

HostPointer HostMemory::newPointer(int32_t size) {
    if (size < 0) {
        memoryError_ = kMemSCErr;
        return nullptr;
    }
    if (injectFailure(Allocation::kNewPointer)) {
        memoryError_ = kMemFullErr;
        return nullptr;
    }
    auto block = std::make_unique<Block>();
    block->data = allocateData(size);
    if (block->data == nullptr) {
        memoryError_ = kMemFullErr;
        return nullptr;
    }
    block->size = size;
    HostPointer pointer = block->data;
    pointers_.emplace(pointer, std::move(block));
    memoryError_ = kMemNoErr;
    return pointer;
}

void HostMemory::disposePointer(HostPointer pointer) {
    if (pointer == nullptr) {
        memoryError_ = kMemNoErr;
        return;
    }
    auto it = pointers_.find(pointer);
    if (it == pointers_.end()) {
        ++faults_.badPointers;
        memoryError_ = kMemWZErr;
        return;
    }
    checkGuard(*it->second);
    pointers_.erase(it);
    memoryError_ = kMemNoErr;
}

HostHandle HostMemory::hostNewHandle(std::string_view bytes) {
    if (bytes.size() > static_cast<size_t>(INT32_MAX)) {
        return nullptr;
    }
    HostHandle handle = createHandle(static_cast<int32_t>(bytes.size()));
    if (handle != nullptr && !bytes.empty()) {
        std::memcpy(*handle, bytes.data(), bytes.size());
    }
    return handle;
}

void HostMemory::hostDisposeHandle(HostHandle handle) {
    auto it = handles_.find(handle);
    if (it != handles_.end()) {
        checkGuard(*it->second);
        handles_.erase(it);
    }
}

std::string HostMemory::handleBytes(HostHandle handle) const {
    const Block* block = findHandle(handle);
    return block ? std::string(block->data, static_cast<size_t>(block->size)) : std::string();
}

bool HostMemory::isHandle(HostHandle handle) const {
    return findHandle(handle) != nullptr;
}

bool HostMemory::isLocked(HostHandle handle) const {
    const Block* block = findHandle(handle);
    return block && block->locked;
}

int HostMemory::resizeCount(HostHandle handle) const {
    const Block* block = findHandle(handle);
    return block ? block->resizes : 0;
}

}  // namespace korvane::host
