#pragma once
// The items of a folder as the file functions count and number them: the
// system's wildcard listing in its own order, without "." and ".." and without
// plain folders whose names begin with "." (a hidden or archived one is kept).
//
// A script walks a folder by asking for item 1, 2, ... in separate calls, so the
// last listing is kept and answered again while the folder is unchanged: same
// path, same creation and modification times, and no change reported by the
// system's change notification on the folder, which is set up before the listing
// is taken and reports items added, removed or renamed and attribute changes (a
// child's attributes do not change the folder's times). A folder that cannot be
// watched is listed afresh for every call. Every answer is the one a fresh
// listing would give.

#include <windows.h>

#include "platform/win32/raii.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace korvane::files {

inline constexpr DWORD kNoError = ERROR_SUCCESS;

struct FolderItem {
    std::string name;
    bool isFolder;
};

// The listing kept between calls: a member of the module's PluginState, so it is
// forgotten at shutdown. Assigning a new one forgets it too.
struct KeptFolderListing {
    bool kept = false;
    std::string folder;
    FILETIME created{};
    FILETIME written{};
    std::vector<FolderItem> items;
    // Signalled once the folder changes after the listing was taken.
    win32::unique_change_notification changes;
};

// Number of items of `folder` (native, absolute). Answers 0 or the system's error code.
// `kept` may be null: then the folder is listed afresh and nothing is kept.
DWORD countFolderItems(const char* folder, int32_t* count, KeptFolderListing* kept);

// Item `index` (1-based) of `folder`: its name into `name` (capacity counts the
// terminator) and whether it is a folder. Past the last item: ERROR_NO_MORE_FILES.
DWORD folderItemAt(const char* folder,
                   int32_t index,
                   char* name,
                   size_t capacity,
                   bool* isFolder,
                   KeptFolderListing* kept);

}  // namespace korvane::files
