#pragma once
// The system's own error codes answered as statuses.

#include <windows.h>

#include "core/status.h"

namespace korvane::files {

// A system error code as a status; `fallback` when there is no code or it does not fit.
inline Status systemStatus(DWORD error, Status fallback) {
    constexpr DWORD kLargestStatus = 32767;
    return error == ERROR_SUCCESS || error > kLargestStatus ? fallback : static_cast<Status>(error);
}

}  // namespace korvane::files
