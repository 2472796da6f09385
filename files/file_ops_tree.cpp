// The tree walk shared by copy, move and delete.

#include <windows.h>

#include <cstring>

#include "core/result_text.h"
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

// The system can report a removal as done while the item stays (it is still open elsewhere,
// or the removal fails when the last handle closes): success is answered only once the item
// is really gone. An item still there answers ERROR_ACCESS_DENIED.
Status confirmGone(const char* path) {
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
        return ERROR_ACCESS_DENIED;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? kNoErr : statusForSystemError(error);
}

// After a move: the source is gone, unless the move only changed the letter case of its name.
Status confirmMoved(const char* source, const char* target) {
    return compareNoCase(source, target) == 0 ? kNoErr : confirmGone(source);
}

Status removeFolder(const WalkPath& folder) {
    WalkPath target = folder;
    target.dropTrailingSeparator();
    return RemoveDirectoryA(target.text()) ? confirmGone(target.text()) : lastErrorStatus();
}

Status transferFile(TransferOp op, const char* source, const char* target) {
    switch (op) {
        case TransferOp::kCopy:
            return CopyFileA(source, target, TRUE) ? kNoErr : lastErrorStatus();
        case TransferOp::kMove:
            return MoveFileA(source, target) ? confirmMoved(source, target) : lastErrorStatus();
        case TransferOp::kDelete:
            return DeleteFileA(source) ? confirmGone(source) : lastErrorStatus();
    }
    return kParamErr;
}

// A linked folder (no trailing "\" on either path) is moved or deleted as the link itself.
Status transferLink(TransferOp op, const WalkPath& source, const WalkPath& target) {
    if (op == TransferOp::kDelete) {
        return RemoveDirectoryA(source.text()) ? confirmGone(source.text()) : lastErrorStatus();
    }
    return MoveFileA(source.text(), target.text()) ? confirmMoved(source.text(), target.text()) : lastErrorStatus();
}

// A folder's identity: its volume's serial number and its index on that volume, and its final
// path (links, junctions and mapped drives resolved). Either one matching names the same
// folder: some file systems give no stable index, and some systems resolve no final path.
struct FolderIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    char finalPath[kWalkPathCapacity] = {};

    bool sameFolderAs(const FolderIdentity& other) const {
        const bool sameIndex = volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow;
        const bool samePath = finalPath[0] != '\0' && compareNoCase(finalPath, other.finalPath) == 0;
        return sameIndex || samePath;
    }
};

bool folderIdentity(const char* path, FolderIdentity* out) {
    win32::unique_hfile folder(CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (!folder || !GetFileInformationByHandle(folder.get(), &information)) {
        return false;
    }
    out->volume = information.dwVolumeSerialNumber;
    out->indexHigh = information.nFileIndexHigh;
    out->indexLow = information.nFileIndexLow;
    const DWORD length = GetFinalPathNameByHandleA(folder.get(), out->finalPath, sizeof out->finalPath, 0);
    if (length == 0 || length >= sizeof out->finalPath) {
        out->finalPath[0] = '\0';
    }
    return true;
}

// Whether `targetFolder` (ending in "\") or a folder above it is `sourceFolder` itself, reached
// through another name: a link, a junction or a drive that maps onto it. The texts may differ
// entirely, so the folders' identities are compared.
bool liesInsideByIdentity(const WalkPath& sourceFolder, const WalkPath& targetFolder) {
    FolderIdentity source;
    if (!folderIdentity(sourceFolder.text(), &source)) {
        return false;
    }
    WalkPath step = targetFolder;
    for (;;) {
        FolderIdentity current;
        if (folderIdentity(step.text(), &current) && current.sameFolderAs(source)) {
            return true;
        }
        size_t offset = 0;
        size_t length = 0;
        step.lastElement(&offset, &length);
        if (length == 0) {
            return false;  // the volume root has been checked
        }
        step.truncate(offset);
    }
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
    if (longFolderForm(source).contains(longFolderForm(targetFolder)) || liesInsideByIdentity(source, targetFolder)) {
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
