#pragma once
// The window that owns what the file functions show or leave behind (clipboard,
// shortcut resolution): the host's front document window.

#include <windows.h>

namespace korvane::files {

// Until the host window lookup is available, the file functions act without an owner.
inline HWND ownerWindow() {
    return nullptr;
}

}  // namespace korvane::files
