#include "platform/paths/file_ref.h"

#include <windows.h>

#include <winnetwk.h>

#include <cstring>

#include "platform/paths/path_text.h"
#include "platform/win32/raii.h"

namespace korvane {
namespace {

// GetLogicalDriveStringsA: 26 roots of four bytes and the closing terminator, with room to spare.
constexpr DWORD kDriveStringsCapacity = 512;

// The native form of a path text before it is made absolute.
Status nativeForm(const char* text, PathForm form, char* out, size_t capacity) {
    switch (form) {
        case PathForm::kNetwork:
            return networkFormToNative(text, out, capacity);
        case PathForm::kColon:
            return colonFormToNative(text, findVolumeRoot, out, capacity);
        case PathForm::kBareName:
        case PathForm::kWindows:
            break;
    }
    return completeDriveRoot(text, out, capacity) ? kNoErr : kParamErr;
}

// Leaves `text` on the clipboard as plain text; the outcome is not reported.
void putOnClipboard(const char* text, HWND owner) {
    const size_t size = std::strlen(text) + 1;
    win32::unique_hglobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size));
    if (!block) {
        return;
    }
    {
        const auto lock = win32::lock_global(block.get());
        if (lock->data == nullptr) {
            return;
        }
        std::memcpy(lock->data, text, size);
    }
    const auto clipboard = win32::open_clipboard(owner);
    if (!clipboard || !EmptyClipboard()) {
        return;
    }
    if (SetClipboardData(CF_TEXT, block.get()) != nullptr) {
        block.release();  // the clipboard owns it now
    }
}

}  // namespace

Status resolvePath(const char* text, FileRef* out) {
    if (text == nullptr || out == nullptr) {
        return kParamErr;
    }
    const PathForm form = classifyPathText(text);
    char native[kPathCapacity];
    if (const Status status = nativeForm(text, form, native, sizeof native); status != kNoErr) {
        return status;
    }
    char full[kPathCapacity];
    const DWORD length = GetFullPathNameA(native, sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full) {
        return kParamErr;
    }
    *out = FileRef{};
    std::memcpy(out->path, full, length + 1);
    const DWORD attributes = GetFileAttributesA(full);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (form == PathForm::kNetwork && error == ERROR_LOGON_FAILURE) {
            WNetCancelConnection2A(full, 0, FALSE);
        }
        return kNoErr;
    }
    out->exists = true;
    out->isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return kNoErr;
}

bool findVolumeRoot(const char* name, char* out, size_t capacity) {
    if (name == nullptr || out == nullptr || capacity == 0 || name[0] == '\0') {
        return false;
    }
    switch (networkVolumeRoot(name, out, capacity)) {
        case NetworkVolume::kRoot:
            return true;
        case NetworkVolume::kTooLong:
            return false;
        case NetworkVolume::kNotNetwork:
            break;
    }
    // An empty removable drive must not bring up the system's "insert a disk" box.
    const UINT previousErrorMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    const auto restoreErrorMode = win32::scope_exit([previousErrorMode] { SetErrorMode(previousErrorMode); });
    char drives[kDriveStringsCapacity];
    const DWORD length = GetLogicalDriveStringsA(sizeof drives, drives);
    if (length == 0 || length >= sizeof drives) {
        return false;
    }
    for (const char* root = drives; *root != '\0'; root += std::strlen(root) + 1) {
        char label[MAX_PATH + 1];
        if (!GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0)) {
            continue;
        }
        if (CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, label, -1, name, -1) == CSTR_EQUAL) {
            const size_t rootLength = std::strlen(root);
            if (rootLength >= capacity) {
                return false;
            }
            std::memcpy(out, root, rootLength + 1);
            return true;
        }
    }
    return false;
}

Status writePathResult(const FileRef& ref, Call& call) {
    char path[kPathCapacity];
    const size_t length = strnlen(ref.path, sizeof ref.path);
    if (length >= sizeof path) {
        return kParamErr;
    }
    std::memcpy(path, ref.path, length);
    path[length] = '\0';
    char text[kPathResultCapacity];
    if (!formatPathResult(path, text, sizeof text)) {
        return kParamErr;
    }
    putOnClipboard(text, static_cast<HWND>(call.documentWindow));
    return call.setResult(text);
}

Status resolveExistingPathArgument(const Arguments& args, const char* name, FileRef* out) {
    const char* text = args.tagValue(name);
    return text != nullptr ? resolveExistingPath(text, out) : kParamErr;
}

Status resolveExistingPath(const char* text, FileRef* out) {
    if (const Status status = resolvePath(text, out); status != kNoErr) {
        return status;
    }
    return out->exists ? kNoErr : kFileNotFound;
}

}  // namespace korvane
