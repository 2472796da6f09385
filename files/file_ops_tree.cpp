// The tree walk shared by copy, move and delete.

#include <windows.h>

#include <cstring>

#include "files/file_ops.h"
#include "files/file_ops_path.h"
#include "platform/win32/raii.h"
#include "platform/win32/system_error.h"

namespace korvane {
namespace {

// Answered when a folder path the walk needs is not an existing folder.
constexpr Status kNotAnExistingFolder = ERROR_PATH_NOT_FOUND;
constexpr char kListAllPattern[] = "*.*";

using win32::lastErrorStatus;
using win32::statusForSystemError;

// An open folder listing. Closed with close() to learn whether closing failed.
class FolderListing {
  public:
    FolderListing(const char* pattern, WIN32_FIND_DATAA* entry)
        : handle_(FindFirstFileA(pattern, entry)), openError_(handle_ ? ERROR_SUCCESS : GetLastError()) {}

    bool isOpen() const { return handle_.valid(); }
    DWORD openError() const { return openError_; }
    // Whether the folder held nothing at all (a volume root can list no entries, not even ".").
    bool isEmptyFolder() const { return openError_ == ERROR_FILE_NOT_FOUND || openError_ == ERROR_NO_MORE_FILES; }
    bool next(WIN32_FIND_DATAA* entry) { return FindNextFileA(handle_.get(), entry) != FALSE; }
    bool close() { return !handle_ || FindClose(handle_.release()) != FALSE; }

  private:
    win32::unique_find_handle handle_;
    DWORD openError_;
};

bool isFolder(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Junctions and symbolic links to folders: moved or deleted as links, never through.
bool isLink(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool isDotFolder(const WIN32_FIND_DATAA& entry) {
    return isFolder(entry.dwFileAttributes) && entry.cFileName[0] == '.';
}

Status makeAbsolute(const char* text, WalkPath& out) {
    DWORD length = GetFullPathNameA(text, kWalkPathCapacity, out.buffer(), nullptr);
    if (length == 0) {
        return lastErrorStatus();
    }
    if (length >= kWalkPathCapacity) {
        return kPathTooLong;
    }
    out.adopt(length);
    return kNoErr;
}

// The long form of an existing folder path ending in "\", so that short (8.3) names compare equal.
WalkPath longFolderForm(const WalkPath& path) {
    WalkPath result;
    DWORD length = GetLongPathNameA(path.text(), result.buffer(), kWalkPathCapacity);
    if (length == 0 || length >= kWalkPathCapacity) {
        return path;
    }
    result.adopt(length);
    return result.appendSeparator() ? result : path;
}

Status removeFolder(const WalkPath& folder) {
    WalkPath target = folder;
    target.dropTrailingSeparator();
    return RemoveDirectoryA(target.text()) ? kNoErr : lastErrorStatus();
}

Status transferFile(TransferOp op, const char* source, const char* target) {
    BOOL done = FALSE;
    switch (op) {
        case TransferOp::kCopy:
            done = CopyFileA(source, target, TRUE);
            break;
        case TransferOp::kMove:
            done = MoveFileA(source, target);
            break;
        case TransferOp::kDelete:
            done = DeleteFileA(source);
            break;
    }
    return done ? kNoErr : lastErrorStatus();
}

// A linked folder (no trailing "\" on either path) is moved or deleted as the link itself.
Status transferLink(TransferOp op, const WalkPath& source, const WalkPath& target) {
    if (op == TransferOp::kDelete) {
        return RemoveDirectoryA(source.text()) ? kNoErr : lastErrorStatus();
    }
    return MoveFileA(source.text(), target.text()) ? kNoErr : lastErrorStatus();
}

Status walkContents(TransferOp op, WalkPath& source, WalkPath& target);

// One listed entry of `source` into `target` (both ending in "\"); both are put back as they came.
Status transferEntry(TransferOp op, WalkPath& source, WalkPath& target, const WIN32_FIND_DATAA& entry) {
    if (isDotFolder(entry)) {
        return kNoErr;
    }
    const auto restorePaths =
        win32::scope_exit([&source, &target, sourceLength = source.length(), targetLength = target.length()] {
            source.truncate(sourceLength);
            target.truncate(targetLength);
        });
    bool needsTarget = op != TransferOp::kDelete;
    if (!source.append(entry.cFileName) || (needsTarget && !target.append(entry.cFileName))) {
        return kPathTooLong;
    }
    if (!isFolder(entry.dwFileAttributes)) {
        return transferFile(op, source.text(), target.text());
    }
    if (isLink(entry.dwFileAttributes) && op != TransferOp::kCopy) {
        return transferLink(op, source, target);
    }
    if (!source.appendSeparator() || (needsTarget && !target.appendSeparator())) {
        return kPathTooLong;
    }
    if (needsTarget && !CreateDirectoryA(target.text(), nullptr)) {
        return lastErrorStatus();
    }
    Status status = walkContents(op, source, target);
    if (status == kNoErr && op == TransferOp::kMove) {
        status = removeFolder(source);
    }
    return status;
}

Status walkContents(TransferOp op, WalkPath& source, WalkPath& target) {
    if (!source.endsWithSeparator() || (op != TransferOp::kDelete && !target.endsWithSeparator())) {
        return kNotAnExistingFolder;
    }
    Status status = kNoErr;
    {
        size_t folderLength = source.length();
        if (!source.append(kListAllPattern)) {
            return kPathTooLong;
        }
        WIN32_FIND_DATAA entry;
        FolderListing listing(source.text(), &entry);
        source.truncate(folderLength);
        if (!listing.isOpen()) {
            if (!listing.isEmptyFolder()) {
                return statusForSystemError(listing.openError());
            }
        } else {
            for (;;) {
                status = transferEntry(op, source, target, entry);
                if (status != kNoErr) {
                    break;
                }
                if (!listing.next(&entry)) {
                    DWORD code = GetLastError();
                    if (code != ERROR_NO_MORE_FILES) {
                        status = statusForSystemError(code);
                    }
                    break;
                }
            }
            if (!listing.close() && status == kNoErr) {
                status = lastErrorStatus();
            }
        }
    }
    if (status == kNoErr && op == TransferOp::kDelete) {
        status = removeFolder(source);
    }
    return status;
}

Status transferFolder(TransferOp op, WalkPath& source, DWORD attributes, WalkPath& target) {
    if (!source.appendSeparator()) {
        return kPathTooLong;
    }
    if (op == TransferOp::kDelete) {
        if (isLink(attributes)) {
            return removeFolder(source);
        }
        return walkContents(op, source, target);
    }
    WalkPath targetFolder = target;
    if (!targetFolder.appendSeparator()) {
        return kPathTooLong;
    }
    if (longFolderForm(source).contains(longFolderForm(targetFolder))) {
        return kParamErr;
    }
    size_t nameOffset = 0;
    size_t nameLength = 0;
    source.lastElement(&nameOffset, &nameLength);
    if (nameLength == 0) {
        // A volume root has no name of its own: its contents go straight into the target.
        return walkContents(op, source, target);
    }
    char name[kWalkPathCapacity];
    std::memcpy(name, source.text() + nameOffset, nameLength);
    name[nameLength] = '\0';
    // The whole new folder path must fit before anything is created.
    if (!targetFolder.append(name) || !targetFolder.appendSeparator()) {
        return kPathTooLong;
    }
    if (isLink(attributes) && op == TransferOp::kMove) {
        WalkPath link = source;
        link.dropTrailingSeparator();
        targetFolder.dropTrailingSeparator();
        return transferLink(op, link, targetFolder);
    }
    Status status = createFolderIn(target.text(), name);
    if (status != kNoErr) {
        return status;
    }
    status = walkContents(op, source, targetFolder);
    if (status == kNoErr && op == TransferOp::kMove) {
        status = removeFolder(source);
    }
    return status;
}

Status transferSingleFile(TransferOp op, const WalkPath& source, WalkPath& target) {
    if (op != TransferOp::kDelete && target.endsWithSeparator()) {
        size_t nameOffset = 0;
        size_t nameLength = 0;
        source.lastElement(&nameOffset, &nameLength);
        if (!target.append(source.text() + nameOffset, nameLength)) {
            return kPathTooLong;
        }
    }
    return transferFile(op, source.text(), target.text());
}

}  // namespace

Status createFolderIn(const char* parent, const char* name) {
    WalkPath folder;
    Status status = makeAbsolute(parent, folder);
    if (status != kNoErr) {
        return status;
    }
    DWORD attributes = GetFileAttributesA(folder.text());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return lastErrorStatus();
    }
    if (!isFolder(attributes)) {
        return kNotAnExistingFolder;
    }
    if (!folder.appendSeparator() || !folder.append(name)) {
        return kPathTooLong;
    }
    return createFolder(folder.text());
}

Status createFolder(const char* path) {
    return CreateDirectoryA(path, nullptr) ? kNoErr : lastErrorStatus();
}

Status transferTree(const char* source, const char* destination, TransferOp op) {
    WalkPath sourcePath;
    Status status = makeAbsolute(source, sourcePath);
    if (status != kNoErr) {
        return status;
    }
    DWORD attributes = GetFileAttributesA(sourcePath.text());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return lastErrorStatus();
    }
    WalkPath target;
    if (op != TransferOp::kDelete) {
        if (destination == nullptr) {
            return kParamErr;
        }
        status = makeAbsolute(destination, target);
        if (status != kNoErr) {
            return status;
        }
        DWORD targetAttributes = GetFileAttributesA(target.text());
        if (targetAttributes != INVALID_FILE_ATTRIBUTES && isFolder(targetAttributes) && !target.appendSeparator()) {
            return kPathTooLong;
        }
    }
    if (isFolder(attributes)) {
        return transferFolder(op, sourcePath, attributes, target);
    }
    return transferSingleFile(op, sourcePath, target);
}

Status transferFolderContents(TransferOp op, const char* sourceFolder, const char* destinationFolder) {
    WalkPath source;
    WalkPath target;
    if (!source.assign(sourceFolder) || (op != TransferOp::kDelete && !target.assign(destinationFolder))) {
        return kPathTooLong;
    }
    return walkContents(op, source, target);
}

}  // namespace korvane
