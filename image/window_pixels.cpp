#include "image/window_pixels.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korvane {
namespace {

constexpr uint32_t kUnreadablePixel = 0xFFFFFFFFu;

int32_t moveEdge(int16_t from, int16_t to, float t) {
    return static_cast<int32_t>(static_cast<float>(from) + t * static_cast<float>(to - from));
}

constexpr uint32_t kRedAndBlue = 0x00FF00FFu;
constexpr uint32_t kGreen = 0x0000FF00u;

// Sums of the three channels, kept apart, of a run of 32-bit pixels.
struct ChannelSums {
    uint64_t blue = 0;
    uint64_t green = 0;
    uint64_t red = 0;

    // Adds one word of two channel sums (red in bits 16..31, blue in 0..15) and one of green
    // (in bits 8..31).
    void add(uint32_t redAndBlue, uint32_t green8) {
        blue += redAndBlue & 0xFFFFu;
        red += redAndBlue >> 16;
        green += green8 >> 8;
    }
};

uint32_t readPixel(const uint8_t* at) {
    uint32_t pixel;  // little-endian: red in bits 16..23, blue in bits 0..7
    std::memcpy(&pixel, at, sizeof pixel);
    return pixel;
}

// Adds pixels [start, end) of `row`, at most 256 of them, two channels to a word: the blue
// sum then stays below bit 16 and the red one within 32 bits.
void addScalar(const uint8_t* row, int32_t start, int32_t end, ChannelSums& sums) {
    uint32_t redAndBlue = 0;
    uint32_t green = 0;
    for (int32_t x = start; x < end; ++x) {
        const uint32_t pixel = readPixel(row + 4 * static_cast<size_t>(x));
        redAndBlue += pixel & kRedAndBlue;
        green += pixel & kGreen;
    }
    sums.add(redAndBlue, green);
}

#if defined(__SSE2__)
constexpr int32_t kLanes = 4;

// The same, four pixels at a time: each lane takes at most 256 pixels of the run.
void addVector(const uint8_t* row, int32_t start, int32_t end, ChannelSums& sums) {
    const __m128i redAndBlueMask = _mm_set1_epi32(static_cast<int>(kRedAndBlue));
    const __m128i greenMask = _mm_set1_epi32(static_cast<int>(kGreen));
    __m128i redAndBlue = _mm_setzero_si128();
    __m128i green = _mm_setzero_si128();
    int32_t x = start;
    for (; x + kLanes <= end; x += kLanes) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 4 * static_cast<size_t>(x)));
        redAndBlue = _mm_add_epi32(redAndBlue, _mm_and_si128(pixels, redAndBlueMask));
        green = _mm_add_epi32(green, _mm_and_si128(pixels, greenMask));
    }
    uint32_t laneRedAndBlue[kLanes];
    uint32_t laneGreen[kLanes];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(laneRedAndBlue), redAndBlue);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(laneGreen), green);
    for (int lane = 0; lane < kLanes; ++lane) {
        sums.add(laneRedAndBlue[lane], laneGreen[lane]);
    }
    addScalar(row, x, end, sums);
}
#else
constexpr int32_t kLanes = 1;

void addVector(const uint8_t* row, int32_t start, int32_t end, ChannelSums& sums) {
    addScalar(row, start, end, sums);
}
#endif

// The colour values 0x00BBGGRR of `count` 32-bit pixels (bytes blue, green, red, alpha),
// each plus one, summed with wrap-around.
uint32_t sumRowPlusOne(const uint8_t* row, int32_t count) {
    constexpr int32_t kChunk = 256 * kLanes;
    ChannelSums sums;
    for (int32_t start = 0; start < count; start += kChunk) {
        addVector(row, start, std::min(count, start + kChunk), sums);
    }
    return static_cast<uint32_t>(sums.blue << 16) + static_cast<uint32_t>(sums.green << 8) +
           static_cast<uint32_t>(sums.red) + static_cast<uint32_t>(count);
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

int32_t sumAreaColours(const PixelRows& pixels,
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
    for (size_t i = 0; pixels.first != nullptr && i < visibleCount; ++i) {
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
