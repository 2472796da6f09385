#include "platform/media/bitmap.h"

#include <cstring>
#include <new>
#include <utility>

namespace korvane::media {

namespace {

constexpr uint64_t kRowAlignBits = 32;

Rgba fromRgb(Rgb c) {
    return Rgba{c.red, c.green, c.blue, 255};
}

uint8_t widen5(uint32_t v) {
    return static_cast<uint8_t>((v << 3) | (v >> 2));
}

}  // namespace

int bitsPerPixel(int depth) {
    switch (depth) {
        case kDepth1:
        case kDepth2:
        case kDepth4:
        case kDepth8:
        case kDepth16:
        case kDepth24:
        case kDepth32:
            return depth;
        case kDepthGrey2:
        case kDepthGrey4:
        case kDepthGrey8:
            return depth - 32;
        default:
            return 0;
    }
}

bool isIndexedDepth(int depth) {
    int bits = bitsPerPixel(depth);
    return bits > 0 && bits <= 8;
}

bool isGreyDepth(int depth) {
    return depth == kDepthGrey2 || depth == kDepthGrey4 || depth == kDepthGrey8;
}

Rgb greyLevel(int index, int bits) {
    auto level = static_cast<uint8_t>(index * 255 / ((1 << bits) - 1));
    return Rgb{level, level, level};
}

int indexedDepthFor(int bits, std::span<const Rgb> palette) {
    constexpr int kGreyDepthOffset = kDepthGrey8 - kDepth8;
    if ((bits != 2 && bits != 4 && bits != 8) || palette.size() != (size_t{1} << bits)) {
        return bits;
    }
    for (size_t i = 0; i < palette.size(); ++i) {
        if (palette[i] != greyLevel(static_cast<int>(i), bits)) {
            return bits;
        }
    }
    return bits + kGreyDepthOffset;
}

uint16_t packRgb555(Rgb c) {
    return static_cast<uint16_t>((c.red >> 3) << 10 | (c.green >> 3) << 5 | (c.blue >> 3));
}

Rgb unpackRgb555(uint16_t v) {
    return Rgb{widen5((v >> 10) & 0x1F), widen5((v >> 5) & 0x1F), widen5(v & 0x1F)};
}

bool bitmapSize(int32_t width, int32_t height, int bits, size_t maxBytes, size_t& stride, size_t& total) {
    if (width <= 0 || height <= 0 || bits <= 0) {
        return false;
    }
    // 31 bits x 32 bits per pixel fits in 64 bits with room to spare.
    uint64_t rowBits = static_cast<uint64_t>(width) * static_cast<uint64_t>(bits);
    uint64_t rowBytes = (rowBits + kRowAlignBits - 1) / kRowAlignBits * (kRowAlignBits / 8);
    if (rowBytes > maxBytes || static_cast<uint64_t>(height) > maxBytes / rowBytes) {
        return false;
    }
    stride = static_cast<size_t>(rowBytes);
    total = static_cast<size_t>(rowBytes * static_cast<uint64_t>(height));
    return true;
}

void Bitmap::swap(Bitmap& other) noexcept {
    std::swap(pixels_, other.pixels_);
    std::swap(palette_, other.palette_);
    std::swap(width_, other.width_);
    std::swap(height_, other.height_);
    std::swap(depth_, other.depth_);
    std::swap(stride_, other.stride_);
    std::swap(paletteSize_, other.paletteSize_);
    std::swap(hRes_, other.hRes_);
    std::swap(vRes_, other.vRes_);
    std::swap(hasAlpha_, other.hasAlpha_);
}

Status Bitmap::create(int32_t width, int32_t height, int depth, size_t maxBytes) {
    reset();
    int bits = bitsPerPixel(depth);
    if (bits == 0 || width <= 0 || height <= 0) {
        return kParamErr;
    }
    size_t stride = 0;
    size_t total = 0;
    if (!bitmapSize(width, height, bits, maxBytes, stride, total)) {
        return kOutOfMemory;
    }
    std::unique_ptr<uint8_t, FreeDeleter> pixels(static_cast<uint8_t*>(std::calloc(total, 1)));
    if (!pixels) {
        return kOutOfMemory;
    }
    if (bits <= 8) {
        palette_.reset(new (std::nothrow) Rgb[kMaxPaletteSize]);
        if (!palette_) {
            return kOutOfMemory;
        }
    }
    pixels_ = std::move(pixels);
    width_ = width;
    height_ = height;
    depth_ = depth;
    stride_ = stride;
    if (depth == kDepth1) {
        palette_[0] = Rgb{255, 255, 255};
        palette_[1] = Rgb{0, 0, 0};
        paletteSize_ = 2;
    } else if (isGreyDepth(depth)) {
        paletteSize_ = 1 << bits;
        for (int i = 0; i < paletteSize_; ++i) {
            palette_[i] = greyLevel(i, bits);
        }
    }
    return kNoErr;
}

size_t Bitmap::rowBytesUsed() const {
    return (static_cast<size_t>(width_) * static_cast<size_t>(bitsPerPixel(depth_)) + 7) / 8;
}

Status Bitmap::setPalette(std::span<const Rgb> colours) {
    if (!isIndexedDepth(depth_) || colours.size() > (size_t{1} << bitsPerPixel(depth_))) {
        return kParamErr;
    }
    std::memcpy(palette_.get(), colours.data(), colours.size() * sizeof(Rgb));
    paletteSize_ = static_cast<int>(colours.size());
    return kNoErr;
}

uint32_t Bitmap::index(int32_t x, int32_t y) const {
    int bits = bitsPerPixel(depth_);
    size_t bitOffset = static_cast<size_t>(x) * static_cast<size_t>(bits);
    uint8_t byte = row(y)[bitOffset / 8];
    int shift = 8 - bits - static_cast<int>(bitOffset % 8);
    return (byte >> shift) & ((1u << bits) - 1);
}

void Bitmap::setIndex(int32_t x, int32_t y, uint32_t value) {
    int bits = bitsPerPixel(depth_);
    size_t bitOffset = static_cast<size_t>(x) * static_cast<size_t>(bits);
    uint8_t& byte = row(y)[bitOffset / 8];
    int shift = 8 - bits - static_cast<int>(bitOffset % 8);
    uint32_t mask = ((1u << bits) - 1) << shift;
    byte = static_cast<uint8_t>((byte & ~mask) | ((value << shift) & mask));
}

Rgba Bitmap::pixel(int32_t x, int32_t y) const {
    const uint8_t* r = row(y);
    switch (depth_) {
        case kDepth16: {
            auto v = static_cast<uint16_t>(r[2 * x] | r[2 * x + 1] << 8);
            return fromRgb(unpackRgb555(v));
        }
        case kDepth24:
            return Rgba{r[3 * x + 2], r[3 * x + 1], r[3 * x], 255};
        case kDepth32:
            return Rgba{r[4 * x + 2], r[4 * x + 1], r[4 * x], hasAlpha_ ? r[4 * x + 3] : uint8_t{255}};
        default: {
            uint32_t i = index(x, y);
            return i < static_cast<uint32_t>(paletteSize_) ? fromRgb(palette_[i]) : Rgba{0, 0, 0, 255};
        }
    }
}

void Bitmap::setPixel(int32_t x, int32_t y, Rgba c) {
    uint8_t* r = row(y);
    switch (depth_) {
        case kDepth16: {
            uint16_t v = packRgb555(Rgb{c.red, c.green, c.blue});
            r[2 * x] = static_cast<uint8_t>(v);
            r[2 * x + 1] = static_cast<uint8_t>(v >> 8);
            break;
        }
        case kDepth24:
            r[3 * x] = c.blue;
            r[3 * x + 1] = c.green;
            r[3 * x + 2] = c.red;
            break;
        case kDepth32:
            r[4 * x] = c.blue;
            r[4 * x + 1] = c.green;
            r[4 * x + 2] = c.red;
            r[4 * x + 3] = hasAlpha_ ? c.alpha : uint8_t{255};
            break;
        default:
            break;
    }
}

void Bitmap::fill(Rgba colour) {
    if (isIndexedDepth(depth_) || empty()) {
        return;
    }
    for (int32_t x = 0; x < width_; ++x) {
        setPixel(x, 0, colour);
    }
    for (int32_t y = 1; y < height_; ++y) {
        std::memcpy(row(y), row(0), stride_);
    }
}

void Bitmap::dropEmptyAlpha() {
    if (depth_ != kDepth32 || !hasAlpha_) {
        return;
    }
    for (int32_t y = 0; y < height_; ++y) {
        const uint8_t* r = row(y);
        for (int32_t x = 0; x < width_; ++x) {
            if (r[4 * x + 3] != 0) {
                return;
            }
        }
    }
    hasAlpha_ = false;
    for (int32_t y = 0; y < height_; ++y) {
        uint8_t* r = row(y);
        for (int32_t x = 0; x < width_; ++x) {
            r[4 * x + 3] = 255;
        }
    }
}

}  // namespace korvane::media
