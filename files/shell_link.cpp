#include "files/shell_link.h"

#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "files/owner_window.h"
#include "files/win32_scoped.h"

namespace korvane::files {
namespace {

// Resolve without any user interface, accepting any match.
constexpr DWORD kResolveFlags = SLR_NO_UI | SLR_ANY_MATCH;
// IPersistFile::Load mode: read.
constexpr DWORD kReadMode = STGM_READ;

}  // namespace

bool readShortcutTarget(const char* path, char* target, size_t capacity) {
    if (capacity == 0) {
        return false;
    }
    target[0] = '\0';
    wchar_t widePath[MAX_PATH + 1];
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH + 1) == 0) {
        return false;
    }
    ComScope com;
    if (!com.ready()) {
        return false;
    }
    IShellLinkA* rawLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&rawLink)))) {
        return false;
    }
    UniqueCom<IShellLinkA> link(rawLink);
    IPersistFile* rawFile = nullptr;
    if (FAILED(link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)))) {
        return false;
    }
    UniqueCom<IPersistFile> file(rawFile);
    if (FAILED(file.get()->Load(widePath, kReadMode))) {
        return false;
    }
    if (FAILED(link.get()->Resolve(ownerWindow(), kResolveFlags))) {
        return false;
    }
    char found[MAX_PATH + 1] = {};
    if (link.get()->GetPath(found, MAX_PATH, nullptr, SLGP_UNCPRIORITY) != S_OK || found[0] == '\0') {
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
