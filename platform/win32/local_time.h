#pragma once
// File times (UTC) and the local date and time that scripts read and write.

#include <windows.h>

namespace korvane::win32 {

// A file time as local date and time. False, with the system's code as the last error,
// when it cannot be converted.
inline bool fileTimeToLocal(const FILETIME& time, SYSTEMTIME* local) {
    FILETIME localTime;
    return FileTimeToLocalFileTime(&time, &localTime) && FileTimeToSystemTime(&localTime, local);
}

// A local date and time as a file time. False, with the system's code as the last error,
// when it is no valid date or cannot be converted.
inline bool localToFileTime(const SYSTEMTIME& local, FILETIME* time) {
    FILETIME localTime;
    return SystemTimeToFileTime(&local, &localTime) && LocalFileTimeToFileTime(&localTime, time);
}

}  // namespace korvane::win32
