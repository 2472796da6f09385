#include "files/folder_listing.h"

#include <cstring>
#include <new>
#include <utility>

#include "platform/paths/file_ref.h"
#include "platform/paths/path_text.h"
#include "platform/win32/raii.h"

namespace korvane::files {
namespace {

// The changes that alter a listing: names added, removed or renamed, and attributes
// (which decide whether a dot-folder is counted).
constexpr DWORD kListingChanges =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_ATTRIBUTES;

// A listing limit that never stops it.
constexpr size_t kWholeListing = static_cast<size_t>(-1);

// "*.*" after the folder and its separator.
constexpr size_t kPatternCapacity = kPathCapacity + 8;

using Listing = KeptFolderListing;

bool sameTime(const FILETIME& a, const FILETIME& b) {
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

bool isCounted(const WIN32_FIND_DATAA& entry) {
    const char* name = entry.cFileName;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) {
        return false;
    }
    return !(name[0] == '.' && entry.dwFileAttributes == FILE_ATTRIBUTE_DIRECTORY);
}

bool makePattern(const char* folder, char* pattern, size_t capacity) {
    const size_t length = std::strlen(folder);
    const bool endsInSeparator = length > 0 && lastSeparator(folder) == static_cast<int>(length - 1);
    const char* suffix = endsInSeparator ? "*.*" : "\\*.*";
    if (length + std::strlen(suffix) + 1 > capacity) {
        return false;
    }
    std::memcpy(pattern, folder, length);
    std::strcpy(pattern + length, suffix);
    return true;
}

// Lists `folder` afresh into `listing`, stopping after `limit` items. Answers 0 or the
// system's error code.
DWORD listFolder(const char* folder, size_t limit, Listing* listing) {
    char pattern[kPatternCapacity];
    if (!makePattern(folder, pattern, sizeof pattern)) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    listing->items.clear();
    WIN32_FIND_DATAA entry;
    win32::unique_find_handle search(FindFirstFileA(pattern, &entry));
    if (!search) {
        const DWORD error = GetLastError();
        // An empty drive root has no "." entry: the listing is empty, not failed.
        return error == ERROR_FILE_NOT_FOUND ? kNoError : error;
    }
    bool more = true;
    try {
        while (more && listing->items.size() < limit) {
            if (isCounted(entry)) {
                listing->items.push_back(
                    FolderItem{entry.cFileName, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
            }
            more = FindNextFileA(search.get(), &entry) != FALSE;
        }
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    if (!more) {
        const DWORD error = GetLastError();
        if (error != ERROR_NO_MORE_FILES) {
            return error;
        }
    }
    if (!FindClose(search.release())) {
        return GetLastError();
    }
    return kNoError;
}

// The folder's identity for the kept listing; false when it cannot be read.
bool folderTimes(const char* folder, FILETIME* created, FILETIME* written) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(folder, GetFileExInfoStandard, &data)) {
        return false;
    }
    *created = data.ftCreationTime;
    *written = data.ftLastWriteTime;
    return true;
}

// Whether the kept listing is still the folder's: same folder and times, and no change
// reported since it was taken.
bool keptListingValid(const Listing& kept, const char* folder, const FILETIME& created, const FILETIME& written) {
    return kept.kept && kept.folder == folder && sameTime(kept.created, created) && sameTime(kept.written, written) &&
           WaitForSingleObject(kept.changes.get(), 0) == WAIT_TIMEOUT;
}

// The listing of `folder`: the kept one while the folder is unchanged, else a fresh one.
// A fresh listing that will not be kept is taken only as far as item `needed`.
DWORD currentListing(const char* folder, size_t needed, Listing& kept, const Listing** out) {
    FILETIME created{};
    FILETIME written{};
    const bool timesKnown = folderTimes(folder, &created, &written);
    if (timesKnown && keptListingValid(kept, folder, created, written)) {
        *out = &kept;
        return kNoError;
    }
    // Watched from before the listing, so that no change made during or after it is missed.
    // A folder that cannot be watched is listed afresh for every call.
    win32::unique_change_notification changes(FindFirstChangeNotificationA(folder, FALSE, kListingChanges));
    const bool keep = timesKnown && changes;
    kept.kept = false;
    kept.changes.reset();
    const DWORD error = listFolder(folder, keep ? kWholeListing : needed, &kept);
    if (error != kNoError) {
        kept.items.clear();
        return error;
    }
    *out = &kept;
    if (keep) {
        try {
            kept.folder = folder;
        } catch (const std::bad_alloc&) {
            return kNoError;
        }
        kept.created = created;
        kept.written = written;
        kept.changes = std::move(changes);
        kept.kept = true;
    }
    return kNoError;
}

}  // namespace

DWORD countFolderItems(const char* folder, int32_t* count, KeptFolderListing* kept) {
    Listing fresh;
    const Listing* listing = nullptr;
    const DWORD error = currentListing(folder, kWholeListing, kept != nullptr ? *kept : fresh, &listing);
    if (error != kNoError) {
        return error;
    }
    *count = static_cast<int32_t>(listing->items.size());
    return kNoError;
}

DWORD folderItemAt(const char* folder,
                   int32_t index,
                   char* name,
                   size_t capacity,
                   bool* isFolder,
                   KeptFolderListing* kept) {
    if (index < 1) {
        return ERROR_NO_MORE_FILES;
    }
    Listing fresh;
    const Listing* listing = nullptr;
    const DWORD error = currentListing(folder, static_cast<size_t>(index), kept != nullptr ? *kept : fresh, &listing);
    if (error != kNoError) {
        return error;
    }
    if (static_cast<size_t>(index) > listing->items.size()) {
        return ERROR_NO_MORE_FILES;
    }
    const FolderItem& item = listing->items[static_cast<size_t>(index) - 1];
    if (item.name.size() + 1 > capacity) {
        return ERROR_INSUFFICIENT_BUFFER;
    }
    std::memcpy(name, item.name.c_str(), item.name.size() + 1);
    *isFolder = item.isFolder;
    return kNoError;
}

}  // namespace korvane::files
