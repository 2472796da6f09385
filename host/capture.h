#pragma once
// Pixels out of the host: the document window's client area, the clipboard's picture
// or text, written as files for people and tests to look at.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace korvane::host {

// 24-bit colour pixels, top row first, each 0x00RRGGBB.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> data;
    uint32_t at(int x, int y) const { return data[static_cast<size_t>(y) * static_cast<size_t>(width) + x]; }
};

// The client area of `window` as it is on the screen; empty when it cannot be read.
Pixels captureClientArea(HWND window);

// Writes 24-bit bottom-up BMP. False when the file cannot be written.
bool writeBmp(const std::string& path, const Pixels& pixels);

// What --clipboard-out found.
enum class ClipboardContent { kNone, kPicture, kText };

// Writes the clipboard to `path`: a device-independent bitmap as a .bmp file (file
// header plus the clipboard's bitmap as it is), otherwise the text up to its
// terminating zero, as its bytes. kNone (and no file) when there is neither, or the
// file cannot be written.
ClipboardContent writeClipboard(const std::string& path, HWND owner);

// The clipboard's text (CF_TEXT) up to its terminating zero; false when there is none.
bool clipboardText(std::string& text, HWND owner);

}  // namespace korvane::host
