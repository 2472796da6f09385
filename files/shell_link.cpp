#include "files/shell_link.h"

#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "platform/win32/raii.h"

namespace korvane::files {
namespace {

// Resolve without any user interface, accepting any match.
constexpr DWORD kResolveFlags = static_cast<DWORD>(SLR_NO_UI) | static_cast<DWORD>(SLR_ANY_MATCH);
// IPersistFile::Load mode: read.
constexpr DWORD kReadMode = STGM_READ;

}  // namespace

bool readShortcutTarget(void* ownerWindow, const char* path, char* target, size_t capacity) {
    if (capacity == 0) {
        return false;
    }
    target[0] = '\0';
    wchar_t widePath[MAX_PATH + 1];
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH + 1) == 0) {
        return false;
    }
    const auto apartment = win32::init_com_apartment();
    win32::com_ptr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put_void()))) {
        return false;
    }
    win32::com_ptr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) {
        return false;
    }
    if (FAILED(file->Load(widePath, kReadMode))) {
        return false;
    }
    if (FAILED(link->Resolve(static_cast<HWND>(ownerWindow), kResolveFlags))) {
        return false;
    }
    char found[MAX_PATH + 1] = {};
    if (link->GetPath(found, MAX_PATH, nullptr, SLGP_UNCPRIORITY) != S_OK || found[0] == '\0') {
        return false;
    }
    const size_t length = strnlen(found, sizeof found);
    if (length + 1 > capacity) {
        return false;
    }
    memcpy(target, found, length + 1);
    return true;
}

}  // namespace korvane::files
