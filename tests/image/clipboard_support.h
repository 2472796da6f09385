#pragma once
// Putting test data on the clipboard as another program would: a window of the test owns it.

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/raii.h"

namespace korvane::image_testing {

struct ClipboardItem {
    UINT format;
    std::vector<uint8_t> bytes;
};

// Replaces the clipboard's contents with the items; false on failure.
inline bool setClipboard(const std::vector<ClipboardItem>& items) {
    win32::unique_hwnd owner(CreateWindowA("STATIC", "clipboard owner", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr,
                                           GetModuleHandleA(nullptr), nullptr));
    win32::clipboard_guard clipboard(owner.get());
    if (!clipboard.open() || !EmptyClipboard()) {
        return false;
    }
    for (const ClipboardItem& item : items) {
        win32::unique_hglobal memory(GlobalAlloc(GMEM_MOVEABLE, item.bytes.size()));
        {
            win32::global_lock lock(memory.get());
            if (!lock.data()) {
                return false;
            }
            std::memcpy(lock.data(), item.bytes.data(), item.bytes.size());
        }
        if (!SetClipboardData(item.format, memory.get())) {
            return false;
        }
        (void)memory.release();
    }
    return true;
}

inline UINT pictClipboardFormat() {
    return RegisterClipboardFormatA("Mac-PICT");
}

// The bytes of one clipboard format; empty when it is not there.
inline std::vector<uint8_t> clipboardBytes(UINT format) {
    win32::clipboard_guard clipboard(nullptr);
    win32::global_lock lock(clipboard.open() ? static_cast<HGLOBAL>(GetClipboardData(format)) : nullptr);
    const auto* data = static_cast<const uint8_t*>(lock.data());
    return data ? std::vector<uint8_t>(data, data + lock.size()) : std::vector<uint8_t>{};
}

}  // namespace korvane::image_testing
