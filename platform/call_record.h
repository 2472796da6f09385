#pragma once
// The host's call record, as FileMaker Pro passes it to FMExternCallProc on 32-bit
// Windows. Every field sits at a fixed byte offset; the static_asserts below hold the
// layout to it. The entry point and the memory callbacks are __stdcall. This header
// is shared by the module and by the host emulator.

#include <cstddef>
#include <cstdint>

#if !defined(_WIN32) || defined(_WIN64)
#error "The call record describes the 32-bit Windows host interface."
#endif

namespace korvane {

// A host handle: a pointer to a master pointer to the data (Mac style).
using HostHandle = char**;
using HostPointer = char*;

using NewHandleProc = HostHandle(__stdcall*)(int32_t size);
using SetHandleSizeProc = void(__stdcall*)(HostHandle handle, int32_t size);
using GetHandleSizeProc = int32_t(__stdcall*)(HostHandle handle);
using LockHandleProc = void(__stdcall*)(HostHandle handle);
using UnlockHandleProc = void(__stdcall*)(HostHandle handle);
using NewPointerProc = HostPointer(__stdcall*)(int32_t size);
using DisposePointerProc = void(__stdcall*)(HostPointer pointer);
using MemoryErrorProc = int16_t(__stdcall*)();

// Call kinds (byte 9 of the record).
enum CallKind : uint8_t {
    kCallStartup = 0,
    kCallIdle = 1,
    kCallIgnored = 2,
    kCallExternal = 3,
    kCallShutdown = 4,
    kCallPreferences = 5,
};

struct ExternCallRecord {
    int16_t interfaceVersion;   // 0
    uint8_t reserved2[7];       // 2
    uint8_t callKind;           // 9
    uint8_t idleDetail;         // 10
    uint8_t reserved11;         // 11
    int32_t functionNumber;     // 12
    HostHandle parameter;       // 16
    void* pluginInstance;       // 20: the module's HINSTANCE
    union {                     // 24
        int32_t startupAnswer;  //   start-up: the answer to the host
        HostHandle result;      //   external call: the result text
    };
    uint8_t reserved28[4];              // 28
    NewHandleProc newHandle;            // 32
    SetHandleSizeProc setHandleSize;    // 36
    GetHandleSizeProc getHandleSize;    // 40
    uint8_t reserved44[8];              // 44
    LockHandleProc lockHandle;          // 52
    UnlockHandleProc unlockHandle;      // 56
    NewPointerProc newPointer;          // 60
    DisposePointerProc disposePointer;  // 64
    MemoryErrorProc memoryError;        // 68
    uint8_t reserved72[56];             // 72: room the host may use; never read
};

static_assert(offsetof(ExternCallRecord, interfaceVersion) == 0);
static_assert(offsetof(ExternCallRecord, callKind) == 9);
static_assert(offsetof(ExternCallRecord, idleDetail) == 10);
static_assert(offsetof(ExternCallRecord, functionNumber) == 12);
static_assert(offsetof(ExternCallRecord, parameter) == 16);
static_assert(offsetof(ExternCallRecord, pluginInstance) == 20);
static_assert(offsetof(ExternCallRecord, startupAnswer) == 24);
static_assert(offsetof(ExternCallRecord, result) == 24);
static_assert(offsetof(ExternCallRecord, newHandle) == 32);
static_assert(offsetof(ExternCallRecord, setHandleSize) == 36);
static_assert(offsetof(ExternCallRecord, getHandleSize) == 40);
static_assert(offsetof(ExternCallRecord, lockHandle) == 52);
static_assert(offsetof(ExternCallRecord, unlockHandle) == 56);
static_assert(offsetof(ExternCallRecord, newPointer) == 60);
static_assert(offsetof(ExternCallRecord, disposePointer) == 64);
static_assert(offsetof(ExternCallRecord, memoryError) == 68);
static_assert(sizeof(ExternCallRecord) == 128);

using ExternCallProc = void(__stdcall*)(ExternCallRecord* record);

}  // namespace korvane

// The module's single export.
extern "C" void __stdcall FMExternCallProc(korvane::ExternCallRecord* record);
