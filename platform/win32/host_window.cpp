#include "platform/win32/host_window.h"

namespace korvane {

HWND hostDocumentWindow() {
    HWND active = GetActiveWindow();
    if (active == nullptr) {
        return nullptr;
    }
    HWND owner = GetWindow(active, GW_OWNER);
    HWND frame = owner != nullptr ? owner : active;
    HWND mdiClient = FindWindowExA(frame, nullptr, "MDIClient", nullptr);
    if (mdiClient == nullptr) {
        return nullptr;
    }
    return GetWindow(mdiClient, GW_CHILD);
}

}  // namespace korvane
