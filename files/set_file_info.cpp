// KUtl-SetFileInfo: a file's or folder's name, read-only and hidden attributes,
// and creation and modification times.

#include <windows.h>

#include <cstring>

#include "core/args.h"
#include "files/file_functions.h"
#include "platform/paths/file_ref.h"
#include "platform/paths/path_text.h"
#include "platform/win32/local_time.h"
#include "platform/win32/raii.h"
#include "platform/win32/system_error.h"

namespace korvane {
namespace {

// The new path: the folder (at most 255 bytes) and the new name.
constexpr size_t kNewPathCapacity = kPathCapacity + kMaxItemNameLength + 1;

// What the call asks to change.
struct Changes {
    const char* name = nullptr;
    bool setHidden = false;
    bool hidden = false;
    bool setLocked = false;
    bool locked = false;
    bool setTimes = false;
    SYSTEMTIME created{};   // local time
    SYSTEMTIME modified{};  // local time
};

void applyDateTime(const DateTime& from, SYSTEMTIME* to) {
    to->wYear = static_cast<WORD>(from.year);
    to->wMonth = static_cast<WORD>(from.month);
    to->wDay = static_cast<WORD>(from.day);
    to->wHour = static_cast<WORD>(from.hour);
    to->wMinute = static_cast<WORD>(from.minute);
    to->wSecond = static_cast<WORD>(from.second);
}

DateTime toDateTime(const SYSTEMTIME& t) {
    DateTime d;
    d.year = static_cast<int16_t>(t.wYear);
    d.month = static_cast<int16_t>(t.wMonth);
    d.day = static_cast<int16_t>(t.wDay);
    d.hour = static_cast<int16_t>(t.wHour);
    d.minute = static_cast<int16_t>(t.wMinute);
    d.second = static_cast<int16_t>(t.wSecond);
    return d;
}

// Reads a date and time pair over `stamp` (fields not given keep their values).
bool readStamp(const Arguments& args, const char* dateName, const char* timeName, SYSTEMTIME* stamp) {
    DateTime value = toDateTime(*stamp);
    if (!args.tagDateTime(dateName, timeName, &value)) {
        return false;
    }
    applyDateTime(value, stamp);
    return true;
}

// Local date-time to file time; false with the system's code in `error`.
bool toFileTime(const SYSTEMTIME& local, FILETIME* time, DWORD* error) {
    if (win32::localToFileTime(local, time)) {
        return true;
    }
    *error = GetLastError();
    return false;
}

// The item's folder (absolute, with its separator) followed by `name`.
bool siblingPath(const char* path, const char* name, char* out, size_t capacity) {
    char full[kPathCapacity];
    const DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
    const int separator = lastSeparator(full);
    if (length == 0 || length >= sizeof full || separator < 0) {
        return false;
    }
    full[separator + 1] = '\0';
    const size_t folderLength = std::strlen(full);
    const size_t nameLength = std::strlen(name);
    if (folderLength + nameLength + 1 > capacity) {
        return false;
    }
    std::memcpy(out, full, folderLength);
    std::memcpy(out + folderLength, name, nameLength + 1);
    return true;
}

DWORD writeTimes(const char* path, bool isFolder, const FILETIME& created, const FILETIME& modified) {
    // A folder is opened as such; its times change like a file's.
    const DWORD flags = isFolder ? FILE_FLAG_BACKUP_SEMANTICS : FILE_ATTRIBUTE_NORMAL;
    win32::unique_hfile item(CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, flags, nullptr));
    if (!item) {
        return GetLastError();
    }
    if (!SetFileTime(item.get(), &created, nullptr, &modified)) {
        return GetLastError();
    }
    if (!CloseHandle(item.release())) {
        return GetLastError();
    }
    return ERROR_SUCCESS;
}

DWORD withBit(DWORD attributes, DWORD bit, bool set) {
    return set ? attributes | bit : attributes & ~bit;
}

// Applies the changes to `path`. The item's attributes are restored when a step fails.
DWORD apply(const char* path,
            bool isFolder,
            const WIN32_FIND_DATAA& entry,
            const Changes& changes,
            const char* newPath) {
    FILETIME created{};
    FILETIME modified{};
    DWORD error = ERROR_SUCCESS;
    if (changes.setTimes &&
        (!toFileTime(changes.created, &created, &error) || !toFileTime(changes.modified, &modified, &error))) {
        return error;
    }
    const DWORD original = entry.dwFileAttributes & ~FILE_ATTRIBUTE_DIRECTORY;
    DWORD wanted = withBit(original, FILE_ATTRIBUTE_HIDDEN,
                           changes.setHidden ? changes.hidden : (original & FILE_ATTRIBUTE_HIDDEN) != 0);
    wanted = withBit(wanted, FILE_ATTRIBUTE_READONLY,
                     changes.setLocked ? changes.locked : (original & FILE_ATTRIBUTE_READONLY) != 0);
    if (wanted == 0) {
        wanted = FILE_ATTRIBUTE_NORMAL;
    }
    if (!SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL)) {
        return GetLastError();
    }
    const char* current = path;
    if (changes.setTimes) {
        error = writeTimes(path, isFolder, created, modified);
    }
    if (error == ERROR_SUCCESS && changes.name != nullptr) {
        if (MoveFileA(path, newPath)) {
            current = newPath;
        } else {
            error = GetLastError();
        }
    }
    if (error == ERROR_SUCCESS) {
        if (!SetFileAttributesA(current, wanted)) {
            error = GetLastError();
        }
    }
    if (error != ERROR_SUCCESS) {
        SetFileAttributesA(current, original == 0 ? FILE_ATTRIBUTE_NORMAL : original);
    }
    return error;
}

}  // namespace

Status setFileInfoHandler(Call& call) {
    const Arguments& args = call.args();
    FileRef ref;
    if (const Status status = resolveExistingPathArgument(args, "PATH", &ref); status != kNoErr) {
        return status;
    }
    char path[kPathCapacity];
    std::memcpy(path, ref.path, sizeof path);
    path[kPathCapacity - 1] = '\0';

    // The item is named without a trailing separator (a folder given as C:\dir\).
    removeTrailingSeparator(path);
    Changes changes;
    char newPath[kNewPathCapacity] = {};
    changes.name = args.tagValue("NAME");
    if (changes.name != nullptr) {
        if (!isPlainItemName(changes.name) || !siblingPath(path, changes.name, newPath, sizeof newPath)) {
            return kBadName;
        }
        // Refused before anything changes: a rename to a path the later steps cannot reach
        // would leave the item renamed under a failure.
        if (std::strlen(newPath) >= MAX_PATH) {
            return win32::statusForSystemError(ERROR_FILENAME_EXCED_RANGE);
        }
    }
    WIN32_FIND_DATAA entry;
    if (!win32::unique_find_handle(FindFirstFileA(path, &entry))) {
        return kParamErr;
    }
    if (!win32::fileTimeToLocal(entry.ftCreationTime, &changes.created) ||
        !win32::fileTimeToLocal(entry.ftLastWriteTime, &changes.modified)) {
        return win32::lastErrorStatus();
    }
    changes.setHidden = args.tagValue("INVISIBLE") != nullptr;
    changes.hidden = args.tagBool("INVISIBLE", false);
    changes.setLocked = args.tagValue("LOCKED") != nullptr;
    changes.locked = args.tagBool("LOCKED", false);
    if (args.tagValue("TOUCH") != nullptr) {
        GetLocalTime(&changes.modified);
        changes.setTimes = true;
    } else {
        const bool modifiedRead = readStamp(args, "MODIFIEDDATE", "MODIFIEDTIME", &changes.modified);
        const bool createdRead = readStamp(args, "CREATEDDATE", "CREATEDTIME", &changes.created);
        changes.setTimes = modifiedRead || createdRead;
    }
    if (!changes.setTimes && changes.name == nullptr && !changes.setHidden && !changes.setLocked) {
        return kParamErr;
    }
    const DWORD error = apply(path, ref.isFolder, entry, changes, newPath);
    return error == ERROR_SUCCESS ? kNoErr : win32::statusForSystemError(error);
}

}  // namespace korvane
