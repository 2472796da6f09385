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

// The status the media layer answers when a file cannot be opened for reading: the
// platform's own file statuses (missing, refused, out of memory), kIoError for the rest.
// Only the image functions answer this way; everything else uses statusForSystemError.
inline Status mediaStatusForOpenError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
        case ERROR_INVALID_DRIVE:
            return kFileNotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return kPermissionError;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return kOutOfMemory;
        default:
            return kIoError;
    }
}

}  // namespace korvane::win32
