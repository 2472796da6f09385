#include "platform/media/offscreen.h"

#include <array>

namespace korvane::media {

namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

constexpr std::array<Rgb, 2> kPalette1 = {kWhite, kBlack};
constexpr std::array<Rgb, 4> kPalette2 = {kWhite, Rgb{0xAC, 0xAC, 0xAC}, Rgb{0x55, 0x55, 0x55}, kBlack};
constexpr std::array<Rgb, 16> kPalette4 = {
    kWhite,
    Rgb{0xFC, 0xF3, 0x05},  // yellow
    Rgb{0xFF, 0x64, 0x02},  // orange
    Rgb{0xDD, 0x08, 0x06},  // red
    Rgb{0xF2, 0x08, 0x84},  // magenta
    Rgb{0x46, 0x00, 0xA5},  // purple
    Rgb{0x00, 0x00, 0xD4},  // blue
    Rgb{0x02, 0xAB, 0xEA},  // cyan
    Rgb{0x1F, 0xB7, 0x14},  // green
    Rgb{0x00, 0x64, 0x11},  // dark green
    Rgb{0x56, 0x2C, 0x05},  // brown
    Rgb{0x90, 0x71, 0x3A},  // tan
    Rgb{0xC0, 0xC0, 0xC0},  // light grey
    Rgb{0x80, 0x80, 0x80},  // medium grey
    Rgb{0x40, 0x40, 0x40},  // dark grey
    kBlack,
};

// The 8-bit table: 215 colours of the cube (from white down, without black), then ten
// levels each of red, green, blue and grey that the cube lacks, then black.
std::array<Rgb, kMaxPaletteSize> makePalette8() {
    std::array<Rgb, kMaxPaletteSize> table{};
    constexpr uint8_t kCube[] = {0xFF, 0xCC, 0x99, 0x66, 0x33, 0x00};
    constexpr uint8_t kRamp[] = {0xEE, 0xDD, 0xBB, 0xAA, 0x88, 0x77, 0x55, 0x44, 0x22, 0x11};
    size_t n = 0;
    for (uint8_t r : kCube) {
        for (uint8_t g : kCube) {
            for (uint8_t b : kCube) {
                if (r != 0 || g != 0 || b != 0) {
                    table[n++] = Rgb{r, g, b};
                }
            }
        }
    }
    for (uint8_t v : kRamp) {
        table[n++] = Rgb{v, 0, 0};
    }
    for (uint8_t v : kRamp) {
        table[n++] = Rgb{0, v, 0};
    }
    for (uint8_t v : kRamp) {
        table[n++] = Rgb{0, 0, v};
    }
    for (uint8_t v : kRamp) {
        table[n++] = Rgb{v, v, v};
    }
    table[n] = kBlack;
    return table;
}

const std::array<Rgb, kMaxPaletteSize> kPalette8 = makePalette8();

int distance(const Rgb& a, const Rgb& b) {
    const int dr = a.red - b.red;
    const int dg = a.green - b.green;
    const int db = a.blue - b.blue;
    return dr * dr + dg * dg + db * db;
}

uint32_t nearestIndex(std::span<const Rgb> palette, Rgb colour) {
    uint32_t best = 0;
    int bestDistance = INT32_MAX;
    for (size_t i = 0; i < palette.size(); ++i) {
        const int d = distance(palette[i], colour);
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<uint32_t>(i);
        }
    }
    return best;
}

}  // namespace

bool isOffscreenDepth(int depth) {
    // Every depth a bitmap holds except 24, which the drawing functions never ask for.
    return bitsPerPixel(depth) != 0 && depth != kDepth24;
}

std::span<const Rgb> standardPalette(int depth) {
    switch (depth) {
        case kDepth1:
            return kPalette1;
        case kDepth2:
            return kPalette2;
        case kDepth4:
            return kPalette4;
        case kDepth8:
            return kPalette8;
        default:
            return {};
    }
}

Status createOffscreen(int32_t width, int32_t height, int depth, Bitmap& out) {
    out.reset();
    if (!isOffscreenDepth(depth)) {
        return kParamErr;
    }
    Bitmap buffer;
    if (Status status = buffer.create(width, height, depth); status != kNoErr) {
        return status;
    }
    if (std::span<const Rgb> palette = standardPalette(depth); !palette.empty()) {
        if (Status status = buffer.setPalette(palette); status != kNoErr) {
            return status;
        }
    }
    fillRect(buffer, PixelRect{0, 0, width, height}, kWhite);
    out = std::move(buffer);
    return kNoErr;
}

void fillRect(Bitmap& bitmap, const PixelRect& rect, Rgb colour) {
    if (bitmap.empty()) {
        return;
    }
    const PixelRect area = intersectRects(rect, PixelRect{0, 0, bitmap.width(), bitmap.height()});
    if (area.empty()) {
        return;
    }
    if (isIndexedDepth(bitmap.depth())) {
        const uint32_t index = nearestIndex(bitmap.palette(), colour);
        for (int32_t y = area.top; y < area.bottom; ++y) {
            for (int32_t x = area.left; x < area.right; ++x) {
                bitmap.setIndex(x, y, index);
            }
        }
        return;
    }
    const Rgba pixel{colour.red, colour.green, colour.blue, 255};
    for (int32_t y = area.top; y < area.bottom; ++y) {
        for (int32_t x = area.left; x < area.right; ++x) {
            bitmap.setPixel(x, y, pixel);
        }
    }
}

}  // namespace korvane::media
