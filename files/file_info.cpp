// KUtl-FileInfo: one file, folder, shortcut or volume described as KEY=value items.

#include <windows.h>

#include <charconv>
#include <cstdio>
#include <cstring>

#include "core/args.h"
#include "core/result_text.h"
#include "core/shift_jis.h"
#include "files/file_functions.h"
#include "files/folder_listing.h"
#include "files/shell_link.h"
#include "platform/paths/file_ref.h"
#include "platform/paths/path_text.h"
#include "platform/win32/local_time.h"
#include "platform/win32/raii.h"
#include "platform/win32/system_error.h"

namespace korvane {
namespace {

// The whole answer; the longest items are three paths of at most 510 escaped bytes.
constexpr size_t kInfoCapacity = 10000;
// A root path: the volume's path, its separator and the terminator.
constexpr size_t kRootCapacity = kPathCapacity + 1;
// GetComputerNameA: at most this many characters.
constexpr DWORD kComputerNameCapacity = 260;
// Room for a date or time and for an unsigned 64-bit number in decimal.
constexpr size_t kStampCapacity = 32;

enum class ItemKind { kVolume, kFolder, kShortcut, kFile };

struct Item {
    ItemKind kind = ItemKind::kFile;
    char name[MAX_PATH + 1] = {};
    WIN32_FIND_DATAA entry{};  // not read for a volume
};

bool isVolume(const Item& item) {
    return item.kind == ItemKind::kVolume;
}

// The root of a volume path (X: or \\srv\share): the path and a separator.
void rootOf(const char* path, char* root) {
    std::snprintf(root, kRootCapacity, "%s\\", path);
}

// Where the one separator after the server of `path` (\\srv\share) stands, or -1 when
// there is none or more than one.
int shareSeparator(const char* path) {
    int found = -1;
    ShiftJisScan bytes;
    for (int i = 2; path[i] != '\0'; ++i) {
        if (bytes.next(path[i]) == ShiftJisScan::Byte::kSingle && path[i] == '\\') {
            if (found >= 0) {
                return -1;
            }
            found = i;
        }
    }
    return found;
}

void copyName(const char* source, Item* item) {
    std::snprintf(item->name, sizeof item->name, "%s", source);
}

bool endsWithShortcutExtension(const char* name) {
    constexpr const char* kShortcutExtension = ".lnk";
    constexpr size_t kExtensionLength = 4;
    const size_t length = std::strlen(name);
    return length >= kExtensionLength && compareNoCase(name + length - kExtensionLength, kShortcutExtension) == 0;
}

// Identifies what `path` (no trailing separator) names. False: it cannot be read.
bool identify(const char* path, bool isFolder, Item* item) {
    const bool unc = path[0] == '\\' && path[1] == '\\';
    const int share = unc ? shareSeparator(path) : -1;
    if (share >= 0 || std::strlen(path) == 2) {
        // X: alone names the drive's current folder; its root is what is described.
        char root[kRootCapacity];
        rootOf(path, root);
        if (GetFileAttributesA(root) == INVALID_FILE_ATTRIBUTES) {
            return false;
        }
        item->kind = ItemKind::kVolume;
        if (share >= 0) {
            copyName(path + share + 1, item);
        } else {
            item->name[0] = path[0];
            item->name[1] = '\0';
        }
        return true;
    }
    if (!win32::unique_find_handle(FindFirstFileA(path, &item->entry))) {
        return false;
    }
    copyName(item->entry.cFileName, item);
    if (isFolder) {
        item->kind = ItemKind::kFolder;
    } else {
        item->kind = endsWithShortcutExtension(item->name) ? ItemKind::kShortcut : ItemKind::kFile;
    }
    return true;
}

const char* kindText(ItemKind kind) {
    switch (kind) {
        case ItemKind::kVolume:
            return "volume";
        case ItemKind::kFolder:
            return "folder";
        case ItemKind::kShortcut:
            return "shortcut";
        case ItemKind::kFile:
            break;
    }
    return "file";
}

void appendUnsigned64(WorkingText& text, ULONGLONG n) {
    char digits[kStampCapacity];
    const auto end = std::to_chars(digits, digits + sizeof digits - 1, n).ptr;
    *end = '\0';
    textAppend(text, digits);
}

// KEY='path' in the output convention of path results.
void appendPath(WorkingText& text, const char* key, const char* path) {
    char formatted[kPathResultCapacity];
    if (!formatPathResult(path, formatted, sizeof formatted)) {
        return;
    }
    textAppendEscapedItem(text, key, formatted);
}

void appendVolumeItems(WorkingText& text, const char* path) {
    char root[kRootCapacity];
    rootOf(path, root);
    const UINT type = GetDriveTypeA(root);
    textAppend(text, " EJECTABLE=");
    textAppendBool(text, type == DRIVE_REMOVABLE || type == DRIVE_CDROM);
    ULARGE_INTEGER available;
    ULARGE_INTEGER total;
    ULARGE_INTEGER free;
    if (GetDiskFreeSpaceExA(root, &available, &total, &free)) {
        textAppend(text, " SIZE=");
        appendUnsigned64(text, total.QuadPart);
        textAppend(text, " FREE=");
        appendUnsigned64(text, available.QuadPart);
    }
}

void appendFileItems(WorkingText& text, const Item& item) {
    const ULONGLONG size = (static_cast<ULONGLONG>(item.entry.nFileSizeHigh) << 32) | item.entry.nFileSizeLow;
    textAppend(text, " SIZE=");
    appendUnsigned64(text, size);
    textAppend(text, " DATASIZE=");
    appendUnsigned64(text, size);
    textAppendQuotedWhole(text, " EXTENSION", extensionOf(item.name));
}

void appendStamp(WorkingText& text, const char* dateKey, const char* timeKey, const SYSTEMTIME& t) {
    char stamp[kStampCapacity];
    std::snprintf(stamp, sizeof stamp, "%d.%d.%d", t.wYear, t.wMonth, t.wDay);
    textAppend(text, dateKey);
    textAppend(text, stamp);
    std::snprintf(stamp, sizeof stamp, "%d:%02d:%02d", t.wHour, t.wMinute, t.wSecond);
    textAppend(text, timeKey);
    textAppend(text, stamp);
}

// LOCKED, INVISIBLE and the four time items. A failed time conversion answers the
// system's code; with none, the items written so far stand.
Status appendEntryItems(WorkingText& text, const Item& item, bool* complete) {
    const DWORD attributes = item.entry.dwFileAttributes;
    textAppend(text, " LOCKED=");
    textAppendBool(text, (attributes & FILE_ATTRIBUTE_READONLY) != 0);
    textAppend(text, " INVISIBLE=");
    textAppendBool(text, (attributes & FILE_ATTRIBUTE_HIDDEN) != 0);
    SYSTEMTIME created;
    SYSTEMTIME modified;
    if (!win32::fileTimeToLocal(item.entry.ftCreationTime, &created) ||
        !win32::fileTimeToLocal(item.entry.ftLastWriteTime, &modified)) {
        *complete = false;
        const DWORD error = GetLastError();
        return error == ERROR_SUCCESS ? kNoErr : win32::statusForSystemError(error);
    }
    appendStamp(text, " CREATEDDATE=", " CREATEDTIME=", created);
    appendStamp(text, " MODIFIEDDATE=", " MODIFIEDTIME=", modified);
    return kNoErr;
}

void appendVolumeExtra(WorkingText& text, const char* path) {
    char root[kRootCapacity];
    rootOf(path, root);
    char fileSystem[MAX_PATH + 1];
    if (!GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, nullptr, fileSystem, sizeof fileSystem)) {
        std::strcpy(fileSystem, "Unknown");
    }
    textAppend(text, " FILESYSTEM=");
    textAppend(text, fileSystem);
    if (path[0] != '\\' || path[1] != '\\') {
        return;
    }
    const char* server = path + 2;
    const char* serverEnd = std::strchr(server, '\\');
    const size_t serverLength = serverEnd == nullptr ? std::strlen(server) : static_cast<size_t>(serverEnd - server);
    textAppend(text, " SERVER=");
    text.append(server, serverLength);
    char computer[kComputerNameCapacity + 1];
    DWORD size = sizeof computer;
    if (GetComputerNameA(computer, &size)) {
        textAppend(text, " USER=");
        textAppend(text, computer);
    }
}

void appendLocation(WorkingText& text, const char* path) {
    char full[kPathCapacity];
    const DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
    const int separator = lastSeparator(full);
    if (length == 0 || length >= sizeof full || separator < 0) {
        return;
    }
    full[separator + 1] = '\0';
    appendPath(text, " LOCATION", full);
}

void appendExtraItems(const Call& call, WorkingText& text, const FileRef& ref, const char* path, const Item& item) {
    if (isVolume(item)) {
        appendVolumeExtra(text, path);
    } else {
        appendLocation(text, path);
    }
    appendPath(text, " PATH", ref.path);
    char target[MAX_PATH + 1];
    if (item.kind == ItemKind::kShortcut &&
        files::readShortcutTarget(call.documentWindow, ref.path, target, sizeof target)) {
        textAppendQuotedWhole(text, " ORIGINAL", target);
    }
}

}  // namespace

Status fileInfoHandler(Call& call, files::KeptFolderListing* kept) {
    const Arguments& args = call.args();
    FileRef ref;
    if (const Status status = resolveExistingPathArgument(args, "PATH", &ref); status != kNoErr) {
        return status;
    }
    char path[kPathCapacity];
    std::snprintf(path, sizeof path, "%s", ref.path);
    removeTrailingSeparator(path);

    Item item;
    if (!identify(path, ref.isFolder, &item)) {
        return kNotAFolder;
    }
    LocalText<kInfoCapacity> text;
    textAppendQuotedWhole(text, "NAME", item.name);
    textAppend(text, " KIND=");
    textAppend(text, kindText(item.kind));

    if (item.kind == ItemKind::kVolume || item.kind == ItemKind::kFolder) {
        int32_t count = 0;
        if (const DWORD error = files::countFolderItems(path, &count, kept); error != files::kNoError) {
            return win32::statusForSystemError(error);
        }
        textAppend(text, " ITEMCOUNT=");
        textAppendNumber(text, count);
    }
    if (isVolume(item)) {
        appendVolumeItems(text, path);
    } else {
        if (item.kind == ItemKind::kFile) {
            appendFileItems(text, item);
        }
        bool complete = true;
        const Status status = appendEntryItems(text, item, &complete);
        if (status != kNoErr) {
            return status;
        }
        if (!complete) {
            return call.setResult(text.c_str());
        }
    }
    if (args.tagValue("EXTRA") != nullptr) {
        appendExtraItems(call, text, ref, path, item);
    }
    return call.setResult(text.c_str());
}

}  // namespace korvane
