#include "image/window_pixels.h"

#include <algorithm>
#include <cstring>

namespace korvane {
namespace {

constexpr uint32_t kUnreadablePixel = 0xFFFFFFFFu;

int32_t moveEdge(int16_t from, int16_t to, float t) {
    return static_cast<int32_t>(static_cast<float>(from) + t * static_cast<float>(to - from));
}

// The colour values 0x00BBGGRR of `count` 32-bit pixels (bytes blue, green, red, alpha),
// each plus one, summed with wrap-around. The channels are summed apart, two at a time in
// one word: over 256 pixels the blue sum stays below bit 16 and the red one within 32 bits.
uint32_t sumRowPlusOne(const uint8_t* row, int32_t count) {
    constexpr int32_t kChunk = 256;
    uint64_t blue = 0;
    uint64_t green = 0;
    uint64_t red = 0;
    for (int32_t start = 0; start < count; start += kChunk) {
        const int32_t end = std::min(count, start + kChunk);
        uint32_t redAndBlue = 0;
        uint32_t greenOnly = 0;
        for (int32_t x = start; x < end; ++x) {
            uint32_t pixel;  // little-endian: red in bits 16..23, blue in bits 0..7
            std::memcpy(&pixel, row + 4 * static_cast<size_t>(x), sizeof pixel);
            redAndBlue += pixel & 0x00FF00FFu;
            greenOnly += pixel & 0x0000FF00u;
        }
        blue += redAndBlue & 0xFFFFu;
        red += redAndBlue >> 16;
        green += greenOnly >> 8;
    }
    return static_cast<uint32_t>(blue << 16) + static_cast<uint32_t>(green << 8) + static_cast<uint32_t>(red) +
           static_cast<uint32_t>(count);
}

}  // namespace

media::PixelRect zoomFrame(const Rect& from, const Rect& to, int32_t index, int32_t steps, bool accelerate) {
    float t = steps > 0 ? static_cast<float>(index) / static_cast<float>(steps) : 1.0f;
    if (accelerate) {
        t = t * t;
    }
    return media::PixelRect{moveEdge(from.left, to.left, t), moveEdge(from.top, to.top, t),
                            moveEdge(from.right, to.right, t), moveEdge(from.bottom, to.bottom, t)};
}

int frameEdges(const media::PixelRect& frame, media::PixelRect edges[4]) {
    if (frame.empty()) {
        return 0;
    }
    int count = 0;
    edges[count++] = {frame.left, frame.top, frame.right, frame.top + 1};
    if (frame.bottom - frame.top > 1) {
        edges[count++] = {frame.left, frame.bottom - 1, frame.right, frame.bottom};
    }
    if (frame.bottom - frame.top > 2) {
        edges[count++] = {frame.left, frame.top + 1, frame.left + 1, frame.bottom - 1};
        if (frame.right - frame.left > 1) {
            edges[count++] = {frame.right - 1, frame.top + 1, frame.right, frame.bottom - 1};
        }
    }
    return count;
}

int32_t sumAreaColours(const media::Bitmap& pixels,
                       const media::PixelRect& area,
                       const media::PixelRect* visible,
                       size_t visibleCount) {
    if (area.empty()) {
        return 0;
    }
    // Every pixel starts as unreadable (-1); a readable one adds its value + 1 on top.
    const uint64_t pixelCount =
        static_cast<uint64_t>(area.right - area.left) * static_cast<uint64_t>(area.bottom - area.top);
    uint32_t sum = static_cast<uint32_t>(pixelCount * kUnreadablePixel);
    const bool readable = pixels.depth() == media::kDepth32 && pixels.width() == area.right - area.left &&
                          pixels.height() == area.bottom - area.top;
    for (size_t i = 0; readable && i < visibleCount; ++i) {
        const media::PixelRect part = media::intersectRects(visible[i], area);
        if (part.empty()) {
            continue;
        }
        for (int32_t y = part.top; y < part.bottom; ++y) {
            sum += sumRowPlusOne(pixels.row(y - area.top) + 4 * static_cast<size_t>(part.left - area.left),
                                 part.right - part.left);
        }
    }
    return static_cast<int32_t>(sum);
}

}  // namespace korvane
