#include "host/capture.h"

#include <cstdio>
#include <cstring>

#include "platform/win32/raii.h"

namespace korvane::host {

namespace {

void closeStdioFile(FILE* file) {
    std::fclose(file);
}
using OwnedStdioFile = win32::unique_any<win32::simple_traits<FILE*, closeStdioFile>>;

constexpr uint16_t kBmpSignature = 0x4D42;  // "BM"
constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr int kBmpBitsPerPixel = 24;
constexpr size_t kBitfieldMasksSize = 12;  // three DWORD masks behind a 40-byte header
constexpr uint32_t kColourMask = 0x00FFFFFF;

void putLe(std::vector<unsigned char>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

std::vector<unsigned char> fileHeader(size_t totalSize, size_t pixelOffset) {
    std::vector<unsigned char> header;
    putLe(header, kBmpSignature, 2);
    putLe(header, static_cast<uint32_t>(totalSize), 4);
    putLe(header, 0, 4);
    putLe(header, static_cast<uint32_t>(pixelOffset), 4);
    return header;
}

bool writeFile(const std::string& path, const std::vector<unsigned char>& head, const void* body, size_t bodySize) {
    OwnedStdioFile file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        return false;
    }
    bool ok = head.empty() || std::fwrite(head.data(), 1, head.size(), file.get()) == head.size();
    ok = ok && (bodySize == 0 || std::fwrite(body, 1, bodySize, file.get()) == bodySize);
    return std::fclose(file.release()) == 0 && ok;
}

// Bytes between the start of a packed DIB and its pixels; 0 when the header is unreadable.
size_t dibPixelOffset(const void* dib, size_t size) {
    BITMAPINFOHEADER header;
    if (size < sizeof header) {
        return 0;
    }
    std::memcpy(&header, dib, sizeof header);
    if (header.biSize < sizeof header || header.biSize > size) {
        return 0;
    }
    size_t colours = header.biClrUsed;
    if (colours == 0 && header.biBitCount <= 8) {
        colours = size_t{1} << header.biBitCount;
    }
    size_t offset = header.biSize + colours * sizeof(RGBQUAD);
    if (header.biSize == kInfoHeaderSize && header.biCompression == BI_BITFIELDS) {
        offset += kBitfieldMasksSize;
    }
    return offset <= size ? offset : 0;
}

bool writeClipboardDib(const std::string& path) {
    const auto dib = win32::lock_global(GetClipboardData(CF_DIB));
    const size_t offset = dibPixelOffset(dib->data, dib->size());
    if (offset == 0) {
        return false;
    }
    return writeFile(path, fileHeader(kFileHeaderSize + dib->size(), kFileHeaderSize + offset), dib->data, dib->size());
}

std::string lockedText(HGLOBAL memory) {
    const auto text = win32::lock_global(memory);
    const auto* bytes = static_cast<const char*>(text->data);
    if (bytes == nullptr) {
        return {};
    }
    const void* end = std::memchr(bytes, 0, text->size());
    return std::string(bytes, end ? static_cast<const char*>(end) - bytes : text->size());
}

}  // namespace

Pixels captureClientArea(HWND window) {
    Pixels pixels;
    RECT client = {};
    if (window == nullptr || !GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) {
        return pixels;
    }
    const int width = client.right;
    const int height = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    // A cache DC: device coordinates, whatever origin the window's own DC was given.
    const win32::unique_window_dc windowDc(win32::window_dc{window, GetDCEx(window, nullptr, DCX_CACHE)});
    win32::unique_hdc memoryDc(CreateCompatibleDC(windowDc.get()));
    void* bits = nullptr;
    win32::unique_hgdiobj bitmap(CreateDIBSection(windowDc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!windowDc || !memoryDc || !bitmap || bits == nullptr) {
        return pixels;
    }
    {
        const auto selected = win32::select_object(memoryDc.get(), bitmap.get());
        if (!BitBlt(memoryDc.get(), 0, 0, width, height, windowDc.get(), 0, 0, SRCCOPY)) {
            return pixels;
        }
        GdiFlush();
    }
    const auto* source = static_cast<const uint32_t*>(bits);
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    pixels.width = width;
    pixels.height = height;
    pixels.data.resize(count);
    for (size_t i = 0; i < count; ++i) {
        pixels.data[i] = source[i] & kColourMask;
    }
    return pixels;
}

bool writeBmp(const std::string& path, const Pixels& pixels) {
    if (pixels.width <= 0 || pixels.height <= 0 ||
        pixels.data.size() != static_cast<size_t>(pixels.width) * static_cast<size_t>(pixels.height)) {
        return false;
    }
    const size_t stride = (static_cast<size_t>(pixels.width) * 3 + 3) & ~size_t{3};
    std::vector<unsigned char> body(stride * static_cast<size_t>(pixels.height));
    for (int y = 0; y < pixels.height; ++y) {
        unsigned char* row = body.data() + stride * static_cast<size_t>(pixels.height - 1 - y);  // bottom-up
        for (int x = 0; x < pixels.width; ++x) {
            const uint32_t colour = pixels.at(x, y);
            row[3 * x] = static_cast<unsigned char>(colour);
            row[3 * x + 1] = static_cast<unsigned char>(colour >> 8);
            row[3 * x + 2] = static_cast<unsigned char>(colour >> 16);
        }
    }
    const size_t offset = kFileHeaderSize + kInfoHeaderSize;
    std::vector<unsigned char> head = fileHeader(offset + body.size(), offset);
    putLe(head, kInfoHeaderSize, 4);
    putLe(head, static_cast<uint32_t>(pixels.width), 4);
    putLe(head, static_cast<uint32_t>(pixels.height), 4);
    putLe(head, 1, 2);  // planes
    putLe(head, kBmpBitsPerPixel, 2);
    putLe(head, BI_RGB, 4);
    putLe(head, static_cast<uint32_t>(body.size()), 4);
    for (int field = 0; field < 4; ++field) {
        putLe(head, 0, 4);  // resolution and colour counts
    }
    return writeFile(path, head, body.data(), body.size());
}

ClipboardContent writeClipboard(const std::string& path, HWND owner) {
    const auto clipboard = win32::open_clipboard(owner);
    if (!clipboard) {
        return ClipboardContent::kNone;
    }
    if (IsClipboardFormatAvailable(CF_DIB)) {
        return writeClipboardDib(path) ? ClipboardContent::kPicture : ClipboardContent::kNone;
    }
    if (IsClipboardFormatAvailable(CF_TEXT)) {
        const std::string text = lockedText(GetClipboardData(CF_TEXT));
        return writeFile(path, {}, text.data(), text.size()) ? ClipboardContent::kText : ClipboardContent::kNone;
    }
    return ClipboardContent::kNone;
}

bool clipboardText(std::string& text, HWND owner) {
    const auto clipboard = win32::open_clipboard(owner);
    if (!clipboard || !IsClipboardFormatAvailable(CF_TEXT)) {
        return false;
    }
    text = lockedText(GetClipboardData(CF_TEXT));
    return true;
}

}  // namespace korvane::host
