#include "platform/media/dib.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace korvane::media {

namespace {

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kLongerHeaderSizes[] = {52, 56, 108, 124};
constexpr uint32_t kMaskedHeaderSize = 52;  // headers this long hold the colour masks
constexpr uint32_t kAlphaHeaderSize = 56;   // and from here the alpha mask too
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kBiAlphaBitfields = 6;
constexpr uint32_t kMaxColours = 1u << 16;
constexpr int kBitsAllowed[] = {1, 4, 8, 16, 24, 32};
constexpr uint32_t kDefault555[3] = {0x7C00, 0x03E0, 0x001F};
constexpr uint32_t kDefault8888[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
// Pixels per metre at one pixel per inch, times 10000: 1 inch is 0.0254 m.
constexpr int64_t kMetreTenThousandths = 10000;
constexpr int64_t kInchTenThousandthsOfMetre = 254;

enum Channel { kRed, kGreen, kBlue, kAlpha, kChannels };

struct DibHeader {
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool topDown = false;
    uint16_t bits = 0;
    uint32_t compression = kBiRgb;
    int32_t xPixelsPerMetre = 0;
    int32_t yPixelsPerMetre = 0;
    uint32_t colours = 0;  // colour table entries in the data
    size_t entrySize = 4;
    uint32_t masks[kChannels] = {};
    size_t paletteOffset = 0;
    size_t pixelOffset = 0;
    size_t stride = 0;
    Rgb palette[kMaxPaletteSize] = {};
    int paletteSize = 0;
    int depth = 0;
};

bool isLongerHeader(uint32_t size) {
    return std::find(std::begin(kLongerHeaderSizes), std::end(kLongerHeaderSizes), size) !=
           std::end(kLongerHeaderSizes);
}

Status readInfoHeader(ByteReader& r, DibHeader& h) {
    if (h.headerSize == kCoreHeaderSize) {
        h.width = r.u16le();
        h.height = r.u16le();
        r.skip(2);  // planes
        h.bits = r.u16le();
        h.entrySize = 3;
        return r.ok() ? kNoErr : kBadPictureData;
    }
    if (h.headerSize != kInfoHeaderSize && !isLongerHeader(h.headerSize)) {
        return kBadPictureData;
    }
    h.width = r.s32le();
    h.height = r.s32le();
    r.skip(2);  // planes
    h.bits = r.u16le();
    h.compression = r.u32le();
    r.skip(4);  // image size
    h.xPixelsPerMetre = r.s32le();
    h.yPixelsPerMetre = r.s32le();
    h.colours = r.u32le();
    r.skip(4);  // important colours
    if (h.headerSize >= kMaskedHeaderSize) {
        int count = h.headerSize >= kAlphaHeaderSize ? 4 : 3;
        for (int i = 0; i < count; ++i) {
            h.masks[i] = r.u32le();
        }
    }
    return r.ok() ? kNoErr : kBadPictureData;
}

// Settles the masks of 16 and 32-bit pixels: the defaults of BI_RGB, or those of the header
// or after it.
Status readMasks(ByteReader& r, DibHeader& h) {
    bool direct = h.bits == 16 || h.bits == 32;
    if (h.compression == kBiRgb) {
        if (h.bits == 16) {
            std::copy(std::begin(kDefault555), std::end(kDefault555), h.masks);
            h.masks[kAlpha] = 0;
        } else if (h.bits == 32) {
            std::copy(std::begin(kDefault8888), std::end(kDefault8888), h.masks);
        }
        return kNoErr;
    }
    if (!direct || (h.compression != kBiBitfields && h.compression != kBiAlphaBitfields)) {
        return kBadPictureData;
    }
    if (h.headerSize == kInfoHeaderSize) {
        int count = h.compression == kBiAlphaBitfields ? 4 : 3;
        for (int i = 0; i < count; ++i) {
            h.masks[i] = r.u32le();
        }
    }
    return r.ok() ? kNoErr : kBadPictureData;
}

Status readPalette(ByteReader& r, DibHeader& h) {
    int limit = h.bits <= 8 ? 1 << h.bits : 0;
    for (uint32_t i = 0; i < h.colours; ++i) {
        const uint8_t* e = r.take(h.entrySize);
        if (!e) {
            return kBadPictureData;
        }
        if (static_cast<int>(i) < limit) {
            h.palette[i] = Rgb{e[2], e[1], e[0]};
            h.paletteSize = static_cast<int>(i) + 1;
        }
    }
    return kNoErr;
}

Status parseHeader(const uint8_t* data, size_t size, DibHeader& h) {
    if (!data) {
        return kParamErr;
    }
    ByteReader r(data, size);
    h.headerSize = r.u32le();
    Status status = readInfoHeader(r, h);
    if (status != kNoErr) {
        return status;
    }
    if (h.height < 0) {
        if (h.height == INT32_MIN) {
            return kBadPictureData;
        }
        h.topDown = true;
        h.height = -h.height;
    }
    if (h.width <= 0 || h.height == 0 ||
        std::find(std::begin(kBitsAllowed), std::end(kBitsAllowed), h.bits) == std::end(kBitsAllowed)) {
        return kBadPictureData;
    }
    if (h.bits <= 8 && h.colours == 0) {
        h.colours = 1u << h.bits;
    }
    if (h.colours > kMaxColours || (h.bits <= 8 && h.compression != kBiRgb)) {
        return kBadPictureData;
    }
    r.seek(h.headerSize);
    if ((status = readMasks(r, h)) != kNoErr || (status = readPalette(r, h)) != kNoErr) {
        return status;
    }
    h.pixelOffset = r.position();
    uint64_t stride = (static_cast<uint64_t>(h.width) * h.bits + 31) / 32 * 4;
    // Rows beyond the data fail here, before anything is allocated.
    if (stride * static_cast<uint64_t>(h.height) > size - h.pixelOffset) {
        return kBadPictureData;
    }
    h.stride = static_cast<size_t>(stride);
    h.depth = h.bits <= 8 ? indexedDepthFor(h.bits, {h.palette, static_cast<size_t>(h.paletteSize)}) : h.bits;
    return kNoErr;
}

// One colour component of a pixel through its mask, widened or narrowed to 8 bits.
uint8_t component(uint32_t pixel, uint32_t mask, uint8_t absent) {
    if (mask == 0) {
        return absent;
    }
    int shift = std::countr_zero(mask);
    int width = std::popcount(mask);
    uint64_t value = (pixel & mask) >> shift;
    uint64_t max = (uint64_t{1} << width) - 1;
    return static_cast<uint8_t>(std::min<uint64_t>(255, value * 255 / max));
}

void convertMaskedRow(const DibHeader& h, const uint8_t* in, Bitmap& out, int32_t y) {
    for (int32_t x = 0; x < h.width; ++x) {
        uint32_t pixel = h.bits == 16 ? uint32_t{in[2 * x]} | uint32_t{in[2 * x + 1]} << 8
                                      : uint32_t{in[4 * x]} | uint32_t{in[4 * x + 1]} << 8 |
                                            uint32_t{in[4 * x + 2]} << 16 | uint32_t{in[4 * x + 3]} << 24;
        Rgba c{component(pixel, h.masks[kRed], 0), component(pixel, h.masks[kGreen], 0),
               component(pixel, h.masks[kBlue], 0), component(pixel, h.masks[kAlpha], 255)};
        out.setPixel(x, y, c);
    }
}

bool isDefault555(const DibHeader& h) {
    return h.bits == 16 && std::equal(std::begin(kDefault555), std::end(kDefault555), h.masks);
}

bool isDefault8888(const DibHeader& h) {
    return h.bits == 32 && std::equal(std::begin(kDefault8888), std::begin(kDefault8888) + 3, h.masks) &&
           (h.masks[kAlpha] == 0 || h.masks[kAlpha] == kDefault8888[kAlpha]);
}

}  // namespace

int32_t pixelsPerMetre(Fixed resolution) {
    int64_t scaled = int64_t{resolution} * kMetreTenThousandths;
    int64_t divisor = kInchTenThousandthsOfMetre * kFixedOne;
    return static_cast<int32_t>((scaled + divisor / 2) / divisor);
}

Fixed resolutionFromPixelsPerMetre(int32_t ppm) {
    if (ppm <= 0) {
        return kDefaultResolution;
    }
    int64_t fixed =
        (int64_t{ppm} * kInchTenThousandthsOfMetre * kFixedOne + kMetreTenThousandths / 2) / kMetreTenThousandths;
    // Whole pixels a metre step by 0.0254 dpi: a value within half a step of a whole number
    // of dots per inch was written from it (3780 is 96 dpi).
    constexpr int64_t kHalfStep = kInchTenThousandthsOfMetre * kFixedOne / kMetreTenThousandths / 2;
    int64_t whole = (fixed + kFixedOne / 2) / kFixedOne * kFixedOne;
    // Writers that round the metre value down land up to a whole step below (2834 for 72).
    if (fixed - whole <= kHalfStep && whole - fixed <= 2 * kHalfStep) {
        fixed = whole;
    }
    return fixed > INT32_MAX ? kDefaultResolution : static_cast<Fixed>(fixed);
}

Status readDibHeader(const uint8_t* data, size_t size, ImageHeader& header) {
    DibHeader h;
    Status status = parseHeader(data, size, h);
    if (status == kNoErr) {
        header = ImageHeader{h.width, h.height, h.depth, resolutionFromPixelsPerMetre(h.xPixelsPerMetre),
                             resolutionFromPixelsPerMetre(h.yPixelsPerMetre)};
    }
    return status;
}

Status readDib(const uint8_t* data, size_t size, size_t maxBytes, Bitmap& out) {
    out.reset();
    DibHeader h;
    Status status = parseHeader(data, size, h);
    if (status != kNoErr || (status = out.create(h.width, h.height, h.depth, maxBytes)) != kNoErr) {
        return status;
    }
    if (!isGreyDepth(h.depth) && h.bits <= 8) {
        (void)out.setPalette({h.palette, static_cast<size_t>(h.paletteSize)});
    }
    out.setResolution(resolutionFromPixelsPerMetre(h.xPixelsPerMetre), resolutionFromPixelsPerMetre(h.yPixelsPerMetre));
    out.setHasAlpha(h.bits == 32 && h.masks[kAlpha] != 0);
    bool copyRows = h.bits <= 8 || h.bits == 24 || isDefault555(h) || isDefault8888(h);
    for (int32_t row = 0; row < h.height; ++row) {
        const uint8_t* in = data + h.pixelOffset + h.stride * static_cast<size_t>(row);
        int32_t y = h.topDown ? row : h.height - 1 - row;
        if (copyRows) {
            // Our 16, 24 and 32-bit layouts are those of the device-independent bitmap.
            std::memcpy(out.row(y), in, out.rowBytesUsed());
            if (h.bits == 16) {
                for (int32_t x = 0; x < h.width; ++x) {
                    out.row(y)[2 * x + 1] &= 0x7F;
                }
            } else if (h.bits == 32 && !out.hasAlpha()) {
                for (int32_t x = 0; x < h.width; ++x) {
                    out.row(y)[4 * x + 3] = 255;
                }
            }
        } else {
            convertMaskedRow(h, in, out, y);
        }
    }
    out.dropEmptyAlpha();
    return kNoErr;
}

namespace {

// Bits a pixel takes in the bitmap we write: DIBs have no 2-bit pixels.
int dibBits(int depth) {
    int bits = bitsPerPixel(depth);
    return bits == 2 ? 4 : bits;
}

}  // namespace

Status writeDib(const Bitmap& bitmap, ByteWriter& out) {
    if (bitmap.empty()) {
        return kParamErr;
    }
    int bits = dibBits(bitmap.depth());
    size_t stride = 0;
    size_t total = 0;
    if (!bitmapSize(bitmap.width(), bitmap.height(), bits, SIZE_MAX, stride, total) || total > UINT32_MAX) {
        return kOutOfMemory;
    }
    std::span<const Rgb> palette = bitmap.palette();
    uint32_t colours = bits <= 8 ? static_cast<uint32_t>(std::max<size_t>(palette.size(), 1)) : 0;
    ByteWriter w;
    if (!w.reserve(kInfoHeaderSize + colours * 4 + total)) {
        return kOutOfMemory;
    }
    w.put32le(kInfoHeaderSize);
    w.put32le(static_cast<uint32_t>(bitmap.width()));
    w.put32le(static_cast<uint32_t>(bitmap.height()));  // positive: bottom-up
    w.put16le(1);
    w.put16le(static_cast<uint16_t>(bits));
    w.put32le(kBiRgb);
    w.put32le(static_cast<uint32_t>(total));
    w.put32le(static_cast<uint32_t>(pixelsPerMetre(bitmap.horizontalResolution())));
    w.put32le(static_cast<uint32_t>(pixelsPerMetre(bitmap.verticalResolution())));
    w.put32le(colours);
    w.put32le(0);
    for (uint32_t i = 0; i < colours; ++i) {
        Rgb c = i < palette.size() ? palette[i] : Rgb{};
        const uint8_t entry[4] = {c.blue, c.green, c.red, 0};
        w.putBytes(entry, sizeof entry);
    }
    bool widen = bits != bitsPerPixel(bitmap.depth());
    for (int32_t y = bitmap.height() - 1; y >= 0 && w.ok(); --y) {
        size_t start = w.size();
        w.putZeros(stride);
        if (!w.ok()) {
            break;
        }
        uint8_t* row = w.data() + start;
        if (widen) {
            for (int32_t x = 0; x < bitmap.width(); ++x) {
                row[x / 2] |= static_cast<uint8_t>(bitmap.index(x, y) << (x % 2 ? 0 : 4));
            }
        } else {
            std::memcpy(row, bitmap.row(y), bitmap.rowBytesUsed());
            if (bits == kDepth32 && !bitmap.hasAlpha()) {
                // The fourth byte is reserved (zero) in a bitmap without alpha.
                for (int32_t x = 0; x < bitmap.width(); ++x) {
                    row[4 * x + 3] = 0;
                }
            }
        }
    }
    if (!w.ok()) {
        return kOutOfMemory;
    }
    out = std::move(w);
    return kNoErr;
}

}  // namespace korvane::media
