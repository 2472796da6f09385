#pragma once
// The items of a folder as the file functions count and number them: the
// system's wildcard listing in its own order, without "." and ".." and without
// plain folders whose names begin with "." (a hidden or archived one is kept).
//
// A script walks a folder by asking for item 1, 2, ... in separate calls, so the
// last listing is kept and answered again while the folder is unchanged: same
// path, same creation and modification times, and last modified long enough
// before the listing was taken that no change can hide within the time stamp's
// resolution. Every answer is the one a fresh listing would give.

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace korvane::files {

inline constexpr DWORD kNoError = ERROR_SUCCESS;

// Number of items of `folder` (native, absolute). Answers 0 or the system's error code.
DWORD countFolderItems(const char* folder, int32_t* count);

// Item `index` (1-based) of `folder`: its name into `name` (capacity counts the
// terminator) and whether it is a folder. Past the last item: ERROR_NO_MORE_FILES.
DWORD folderItemAt(const char* folder, int32_t index, char* name, size_t capacity, bool* isFolder);

// Forgets the kept listing (at shutdown, and for tests that compare with a fresh one).
void forgetFolderListing();

}  // namespace korvane::files
