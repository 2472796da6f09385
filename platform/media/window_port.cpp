#include "platform/media/window_port.h"

#include <windows.h>

#include <cstring>
#include <new>

#include "platform/win32/raii.h"

namespace korvane {

struct MediaPort {
    win32::unique_window_dc dc;
};

MediaPort* mediaPortForWindow(void* window) {
    win32::unique_window_dc dc = win32::get_window_dc(static_cast<HWND>(window));
    if (!dc) {
        return nullptr;
    }
    return new (std::nothrow) MediaPort{std::move(dc)};
}

void mediaReleasePort(MediaPort* port) {
    delete port;
}

MediaPort* hostDrawingPort(Call& call) {
    if (call.resources == nullptr || call.documentWindow == nullptr) {
        return nullptr;
    }
    if (!call.resources->windowPort) {
        call.resources->windowPort.reset(mediaPortForWindow(call.documentWindow));
    }
    return call.resources->windowPort.get();
}

namespace {

constexpr int kDibBits = 32;

HDC portDc(const MediaPort& port) {
    return port.dc.get().dc;
}

HWND portWindow(const MediaPort& port) {
    return port.dc.get().window;
}

}  // namespace

// A top-down 32-bit DIB section selected into a memory DC: the same layout as a 32-bit Bitmap.
struct PortReadBuffer::Canvas {
    win32::unique_hdc dc;
    win32::unique_hbitmap bitmap;
    win32::unique_select_object selection;
    uint32_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;

    bool create(HDC compatible, int32_t canvasWidth, int32_t canvasHeight) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = canvasWidth;
        info.bmiHeader.biHeight = -canvasHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = kDibBits;
        info.bmiHeader.biCompression = BI_RGB;
        dc.reset(CreateCompatibleDC(compatible));
        void* pixels = nullptr;
        bitmap.reset(CreateDIBSection(compatible, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
        if (!dc || !bitmap || pixels == nullptr) {
            return false;
        }
        selection = win32::select_object(dc.get(), bitmap.get());
        bits = static_cast<uint32_t*>(pixels);
        width = canvasWidth;
        height = canvasHeight;
        return static_cast<bool>(selection);
    }
    size_t stride() const { return static_cast<size_t>(width) * 4; }
};

PortReadBuffer::PortReadBuffer() = default;
PortReadBuffer::~PortReadBuffer() = default;

PortReadBuffer::Canvas* PortReadBuffer::canvasFor(const MediaPort& port, int32_t width, int32_t height) {
    if (canvas_ != nullptr && canvas_->width >= width && canvas_->height >= height) {
        return canvas_.get();
    }
    canvas_.reset();
    if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4 > kMaxKeptReadBytes) {
        return nullptr;
    }
    std::unique_ptr<Canvas> fresh(new (std::nothrow) Canvas);
    if (fresh == nullptr || !fresh->create(portDc(port), width, height)) {
        return nullptr;
    }
    canvas_ = std::move(fresh);
    return canvas_.get();
}

namespace {

using DibCanvas = PortReadBuffer::Canvas;

}  // namespace

void portOrigin(const MediaPort& port, int32_t& x, int32_t& y) {
    POINT origin = {};
    if (!GetWindowOrgEx(portDc(port), &origin)) {
        origin = POINT{};
    }
    x = origin.x;
    y = origin.y;
}

media::PixelRect portRect(const MediaPort& port) {
    RECT client = {};
    if (!GetClientRect(portWindow(port), &client)) {
        return {};
    }
    int32_t x = 0;
    int32_t y = 0;
    portOrigin(port, x, y);
    return media::PixelRect{client.left + x, client.top + y, client.right + x, client.bottom + y};
}

Status usePortPixels(const MediaPort& port,
                     const media::PixelRect& rect,
                     const PortRowsUse& use,
                     PortReadBuffer* kept) {
    if (rect.empty()) {
        return kParamErr;
    }
    const int32_t width = rect.right - rect.left;
    const int32_t height = rect.bottom - rect.top;
    DibCanvas own;
    DibCanvas* canvas = kept != nullptr ? kept->canvasFor(port, width, height) : nullptr;
    if (canvas == nullptr) {
        if (!own.create(portDc(port), width, height)) {
            return kOutOfMemory;
        }
        canvas = &own;
    }
    if (!BitBlt(canvas->dc.get(), 0, 0, width, height, portDc(port), rect.left, rect.top, SRCCOPY)) {
        return kOutOfMemory;
    }
    GdiFlush();
    use(reinterpret_cast<const uint8_t*>(canvas->bits), canvas->stride());
    return kNoErr;
}

Status readPortPixels(const MediaPort& port, const media::PixelRect& rect, media::Bitmap& out) {
    out.reset();
    if (rect.empty()) {
        return kParamErr;
    }
    media::Bitmap pixels;
    if (Status status = pixels.create(rect.right - rect.left, rect.bottom - rect.top, media::kDepth32);
        status != kNoErr) {
        return status;
    }
    const auto rowPixels = static_cast<size_t>(pixels.width());
    const Status status = usePortPixels(port, rect, [&](const uint8_t* firstRow, size_t stride) {
        for (int32_t y = 0; y < pixels.height(); ++y) {
            const uint8_t* from = firstRow + static_cast<size_t>(y) * stride;
            uint8_t* to = pixels.row(y);
            // One pass, which the compiler vectorises; every pixel is made opaque on the way.
            for (size_t i = 0; i < rowPixels; ++i) {
                uint32_t pixel;
                std::memcpy(&pixel, from + 4 * i, sizeof pixel);
                pixel |= 0xFF000000u;
                std::memcpy(to + 4 * i, &pixel, sizeof pixel);
            }
        }
    });
    if (status == kNoErr) {
        out = std::move(pixels);
    }
    return status;
}

Status writePortPixels(const MediaPort& port, const media::Bitmap& bitmap, int32_t left, int32_t top) {
    if (bitmap.empty()) {
        return kParamErr;
    }
    const int32_t width = bitmap.width();
    const int32_t height = bitmap.height();
    DibCanvas canvas;
    if (!canvas.create(portDc(port), width, height)) {
        return kOutOfMemory;
    }
    for (int32_t y = 0; y < height; ++y) {
        uint32_t* to = canvas.bits + static_cast<size_t>(y) * static_cast<size_t>(width);
        if (bitmap.depth() == media::kDepth32) {
            std::memcpy(to, bitmap.row(y), static_cast<size_t>(width) * 4);
            continue;
        }
        for (int32_t x = 0; x < width; ++x) {
            const media::Rgba c = bitmap.pixel(x, y);
            to[x] = uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue;
        }
    }
    GdiFlush();
    if (!BitBlt(portDc(port), left, top, width, height, canvas.dc.get(), 0, 0, SRCCOPY)) {
        return kOutOfMemory;
    }
    GdiFlush();
    return kNoErr;
}

void fillPortRect(const MediaPort& port, const media::PixelRect& rect, media::Rgb colour) {
    if (rect.empty()) {
        return;
    }
    const win32::unique_hbrush brush(CreateSolidBrush(RGB(colour.red, colour.green, colour.blue)));
    if (!brush) {
        return;
    }
    const RECT area = {rect.left, rect.top, rect.right, rect.bottom};
    FillRect(portDc(port), &area, brush.get());
    GdiFlush();
}

Status readPortVisibleParts(const MediaPort& port, VisibleParts& out) {
    out = VisibleParts{};
    const win32::unique_hrgn region(CreateRectRgn(0, 0, 0, 0));
    if (!region) {
        return kOutOfMemory;
    }
    // The system region: what the device context may touch, in screen coordinates.
    const int found = GetRandomRgn(portDc(port), region.get(), SYSRGN);
    if (found <= 0) {
        return found < 0 ? kOutOfMemory : kNoErr;
    }
    const DWORD size = GetRegionData(region.get(), 0, nullptr);
    std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[size]);
    if (size < sizeof(RGNDATAHEADER) || !bytes) {
        return kOutOfMemory;
    }
    auto* data = reinterpret_cast<RGNDATA*>(bytes.get());
    if (GetRegionData(region.get(), size, data) != size) {
        return kOutOfMemory;
    }
    const DWORD count = data->rdh.nCount;
    out.rects.reset(new (std::nothrow) media::PixelRect[count]);
    if (count > 0 && !out.rects) {
        return kOutOfMemory;
    }
    POINT client = {};
    ClientToScreen(portWindow(port), &client);
    int32_t originX = 0;
    int32_t originY = 0;
    portOrigin(port, originX, originY);
    const int32_t dx = originX - client.x;
    const int32_t dy = originY - client.y;
    const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
    for (DWORD i = 0; i < count; ++i) {
        out.rects[i] =
            media::PixelRect{rects[i].left + dx, rects[i].top + dy, rects[i].right + dx, rects[i].bottom + dy};
    }
    out.count = count;
    return kNoErr;
}

void invertPortCheckerboard(const MediaPort& port, const media::PixelRect* rects, int count) {
    // Rows of a monochrome bitmap are word-aligned: one pattern byte and one of padding.
    static const uint8_t kCheckerboard[16] = {0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};
    const win32::unique_hbitmap pattern(CreateBitmap(8, 8, 1, 1, kCheckerboard));
    const win32::unique_hbrush brush(pattern ? CreatePatternBrush(pattern.get()) : nullptr);
    if (!brush) {
        return;
    }
    const HDC dc = portDc(port);
    // A monochrome pattern takes the text colour for clear bits and the background colour for
    // set ones: black leaves a pixel, white inverts it.
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBackground = SetBkColor(dc, RGB(255, 255, 255));
    {
        const auto selection = win32::select_object(dc, brush.get());
        for (int i = 0; i < count; ++i) {
            const media::PixelRect& r = rects[i];
            PatBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, PATINVERT);
        }
    }
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBackground);
    GdiFlush();
}

bool portMouseLocation(const MediaPort& port, int32_t& h, int32_t& v) {
    POINT at = {};
    if (!GetCursorPos(&at) || !ScreenToClient(portWindow(port), &at)) {
        return false;
    }
    int32_t originX = 0;
    int32_t originY = 0;
    portOrigin(port, originX, originY);
    h = at.x + originX;
    v = at.y + originY;
    return true;
}

void validatePortWindow(const MediaPort& port) {
    ValidateRect(portWindow(port), nullptr);
}

}  // namespace korvane
