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
    const auto clipboard = win32::open_clipboard(owner.get());
    if (!clipboard || !EmptyClipboard()) {
        return false;
    }
    for (const ClipboardItem& item : items) {
        win32::unique_hglobal memory(GlobalAlloc(GMEM_MOVEABLE, item.bytes.size()));
        {
            const auto lock = win32::lock_global(memory.get());
            if (!lock->data) {
                return false;
            }
            std::memcpy(lock->data, item.bytes.data(), item.bytes.size());
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
    const auto clipboard = win32::open_clipboard(nullptr);
    const auto lock =
        win32::lock_global(static_cast<bool>(clipboard) ? static_cast<HGLOBAL>(GetClipboardData(format)) : nullptr);
    const auto* data = static_cast<const uint8_t*>(lock->data);
    return data ? std::vector<uint8_t>(data, data + lock->size()) : std::vector<uint8_t>{};
}

}  // namespace korvane::image_testing
