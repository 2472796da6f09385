#include "platform/win32/replace_file.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/win32/raii.h"

namespace korvane::win32 {

namespace {

constexpr char kTemporaryPrefix[] = "kvn";
// WriteFile takes at most a DWORD at a time; smaller pieces keep each call short.
constexpr DWORD kWritePiece = 1u << 20;
// Four hex digits name a temporary file: every one of them may be tried.
constexpr unsigned kTemporaryNames = 0x10000;

// The new file under a temporary name; removed unless it was moved into place.
struct TemporaryFile {
    char path[MAX_PATH] = {};
    unique_hfile file;
    bool kept = false;
    ~TemporaryFile() {
        file.reset();
        if (path[0] != '\0' && !kept) {
            ::DeleteFileA(path);
        }
    }
};

// Creates a new, empty file "kvnXXXX.tmp" in `folder` (ending in a separator), open for
// writing. Made here rather than by GetTempFileNameA, which under Wine reports success when
// it could not create the file (a read-only disk, say), losing the reason. Answers the
// system's error; `temporary` names the file only when it was created.
DWORD createTemporaryFile(const char* folder, TemporaryFile& temporary) {
    char path[MAX_PATH];
    const unsigned first = static_cast<unsigned>(::GetTickCount() ^ ::GetCurrentProcessId());
    for (unsigned attempt = 0; attempt < kTemporaryNames; ++attempt) {
        const int length = std::snprintf(path, sizeof path, "%s%s%04X.tmp", folder, kTemporaryPrefix,
                                         (first + attempt) % kTemporaryNames);
        if (length < 0 || static_cast<size_t>(length) >= sizeof path) {
            return ERROR_FILENAME_EXCED_RANGE;
        }
        temporary.file.reset(
            ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (temporary.file) {
            std::memcpy(temporary.path, path, static_cast<size_t>(length) + 1);
            return ERROR_SUCCESS;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            return error;
        }
    }
    return ERROR_FILE_EXISTS;
}

}  // namespace

Status mediaStatusForWriteError(unsigned long error) {
    switch (error) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return kDiskFull;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return kWritePermission;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_FILE_NOT_FOUND:
        case ERROR_DIRECTORY:
        case ERROR_BAD_NETPATH:
        case ERROR_INVALID_DRIVE:
            return kNotAFolder;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return kOutOfMemory;
        default:
            return kIoError;
    }
}

Status replaceFileContents(const char* path, const void* data, size_t size) {
    if (path == nullptr || (data == nullptr && size > 0)) {
        return kParamErr;
    }
    // The folder: everything before the file name.
    char folder[MAX_PATH];
    char* name = nullptr;
    const DWORD length = ::GetFullPathNameA(path, MAX_PATH, folder, &name);
    if (length == 0 || length >= MAX_PATH || name == nullptr) {
        return kBadName;
    }
    *name = '\0';
    // Windows refuses to replace a read-only file, Wine does not: asked first, both refuse.
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return kWritePermission;
    }
    TemporaryFile temporary;
    if (const DWORD error = createTemporaryFile(folder, temporary); error != ERROR_SUCCESS) {
        return mediaStatusForWriteError(error);
    }
    {
        const unique_hfile file = std::move(temporary.file);
        const auto* bytes = static_cast<const uint8_t*>(data);
        size_t done = 0;
        while (done < size) {
            const DWORD piece = size - done < kWritePiece ? static_cast<DWORD>(size - done) : kWritePiece;
            DWORD written = 0;
            if (!::WriteFile(file.get(), bytes + done, piece, &written, nullptr)) {
                return mediaStatusForWriteError(::GetLastError());
            }
            if (written != piece) {
                return kDiskFull;
            }
            done += written;
        }
        if (!::FlushFileBuffers(file.get())) {
            return mediaStatusForWriteError(::GetLastError());
        }
    }
    if (!::MoveFileExA(temporary.path, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return mediaStatusForWriteError(::GetLastError());
    }
    temporary.kept = true;
    return kNoErr;
}

}  // namespace korvane::win32
