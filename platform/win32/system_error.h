#pragma once
// The system's error codes answered as statuses: one rule for the whole module.

#include <windows.h>

#include "core/status.h"

namespace korvane::win32 {

// The status for a system error code, read right where a call failed: running out of
// memory is kOutOfMemory; any other code a status can hold is answered as it is; a
// failure that left no code, or one too large for a status, answers kIoError.
inline Status statusForSystemError(DWORD error) {
    constexpr DWORD kLargestStatus = 32767;
    if (error == ERROR_NOT_ENOUGH_MEMORY || error == ERROR_OUTOFMEMORY) {
        return kOutOfMemory;
    }
    return error == ERROR_SUCCESS || error > kLargestStatus ? kIoError : static_cast<Status>(error);
}

// statusForSystemError of the calling thread's last error; call it first thing after the
// failing call.
inline Status lastErrorStatus() {
    return statusForSystemError(::GetLastError());
}

}  // namespace korvane::win32
