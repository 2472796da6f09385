// Photoshop image files: the composite image of version 1 files.

#include "platform/media/photoshop.h"

#include <cstring>
#include <memory>

#include "platform/media/packbits.h"

namespace korvane::media {

namespace {

constexpr uint8_t kSignature[] = {'8', 'B', 'P', 'S'};
constexpr uint16_t kVersion = 1;
constexpr size_t kHeaderSize = 26;
constexpr uint32_t kMaxSide = 30000;
constexpr uint16_t kMaxChannels = 56;

constexpr uint16_t kModeBitmap = 0;
constexpr uint16_t kModeGrey = 1;
constexpr uint16_t kModeIndexed = 2;
constexpr uint16_t kModeRgb = 3;

constexpr uint16_t kCompressionRaw = 0;
constexpr uint16_t kCompressionRle = 1;

constexpr uint16_t kResolutionResource = 1005;
constexpr size_t kResolutionInfoSize = 16;
constexpr size_t kIndexedTableSize = 3 * kMaxPaletteSize;

struct Header {
    uint16_t channels = 0;
    uint32_t height = 0;
    uint32_t width = 0;
    uint16_t bits = 0;
    uint16_t mode = 0;
    int depth = 0;         // of the bitmap we make
    int colourPlanes = 0;  // planes that carry colour (1 or 3); a further plane is alpha
    bool alpha = false;
    Fixed hRes = kDefaultResolution;
    Fixed vRes = kDefaultResolution;
    const uint8_t* colourTable = nullptr;  // indexed: 256 reds, 256 greens, 256 blues
    size_t imageData = 0;                  // offset of the compression word
};

// Pads a resource name (a Pascal string) to an even length, count byte included.
size_t paddedNameSize(uint8_t length) {
    size_t total = size_t{1} + length;
    return total + (total & 1);
}

void readResolution(const uint8_t* resources, size_t size, Header& h) {
    ByteReader r(resources, size);
    while (r.ok() && r.remaining() >= 12) {
        const uint8_t* type = r.take(4);
        uint16_t id = r.u16be();
        uint8_t nameLength = r.u8();
        r.skip(paddedNameSize(nameLength) - 1);
        uint32_t length = r.u32be();
        const uint8_t* body = r.take(length);
        r.skip(length & 1);
        if (!body || std::memcmp(type, "8BIM", 4) != 0 || id != kResolutionResource || length < kResolutionInfoSize) {
            continue;
        }
        ByteReader info(body, length);
        Fixed horizontal = info.s32be();
        info.skip(4);  // display unit, width unit
        Fixed vertical = info.s32be();
        if (horizontal > 0 && vertical > 0) {
            h.hRes = horizontal;
            h.vRes = vertical;
        }
        return;
    }
}

Status parseHeader(const uint8_t* data, size_t size, Header& h) {
    if (!data) {
        return kParamErr;
    }
    if (!isPhotoshopImage(data, size)) {
        return kBadPictureData;
    }
    ByteReader r(data, size);
    r.skip(4);
    uint16_t version = r.u16be();
    r.skip(6);
    h.channels = r.u16be();
    h.height = r.u32be();
    h.width = r.u32be();
    h.bits = r.u16be();
    h.mode = r.u16be();
    if (!r.ok() || version != kVersion || h.channels == 0 || h.channels > kMaxChannels || h.width == 0 ||
        h.height == 0 || h.width > kMaxSide || h.height > kMaxSide) {
        return kBadPictureData;
    }
    uint32_t colourDataSize = r.u32be();
    const uint8_t* colourData = r.take(colourDataSize);
    uint32_t resourcesSize = r.u32be();
    const uint8_t* resources = r.take(resourcesSize);
    uint32_t layersSize = r.u32be();
    r.skip(layersSize);
    if (!r.ok()) {
        return kBadPictureData;
    }
    readResolution(resources, resourcesSize, h);
    bool eightOrSixteen = h.bits == 8 || h.bits == 16;
    switch (h.mode) {
        case kModeBitmap:
            if (h.bits != 1 || h.channels != 1) {
                return kBadPictureData;
            }
            h.depth = kDepth1;
            h.colourPlanes = 1;
            break;
        case kModeGrey:
            if (!eightOrSixteen) {
                return kBadPictureData;
            }
            h.alpha = h.channels >= 2;
            h.colourPlanes = 1;
            h.depth = h.alpha ? kDepth32 : kDepthGrey8;
            break;
        case kModeIndexed:
            if (h.bits != 8 || colourDataSize < kIndexedTableSize) {
                return kBadPictureData;
            }
            h.colourTable = colourData;
            h.colourPlanes = 1;
            h.depth = kDepth8;
            break;
        case kModeRgb:
            if (!eightOrSixteen || h.channels < 3) {
                return kBadPictureData;
            }
            h.alpha = h.channels >= 4;
            h.colourPlanes = 3;
            h.depth = h.alpha ? kDepth32 : kDepth24;
            break;
        default:
            return kBadPictureData;
    }
    h.imageData = r.position();
    return kNoErr;
}

// The stored size of one row of one plane.
size_t planeRowBytes(const Header& h) {
    return (size_t{h.width} * h.bits + 7) / 8;
}

// Unpacks the planes this reader uses (colour, then alpha) into `planes`, one after another,
// each row planeRowBytes long.
Status readPlanes(const uint8_t* data, size_t size, const Header& h, int planeCount, uint8_t* planes) {
    ByteReader r(data, size);
    r.seek(h.imageData);
    uint16_t compression = r.u16be();
    size_t rowBytes = planeRowBytes(h);
    size_t rows = size_t{h.height} * planeCount;
    if (!r.ok()) {
        return kBadPictureData;
    }
    if (compression == kCompressionRaw) {
        const uint8_t* raw = r.take(rowBytes * rows);
        if (!raw) {
            return kBadPictureData;
        }
        std::memcpy(planes, raw, rowBytes * rows);
        return kNoErr;
    }
    if (compression != kCompressionRle) {
        return kBadPictureData;
    }
    // Every plane's row counts come first, for all channels of the file.
    size_t allRows = size_t{h.height} * h.channels;
    const uint8_t* counts = r.take(2 * allRows);
    if (!counts) {
        return kBadPictureData;
    }
    for (size_t row = 0; row < rows; ++row) {
        size_t count = size_t{counts[2 * row]} << 8 | counts[2 * row + 1];
        const uint8_t* packed = r.take(count);
        if (!packed || !unpackBits(packed, count, planes + row * rowBytes, rowBytes, 1)) {
            return kBadPictureData;
        }
    }
    return kNoErr;
}

uint8_t sample(const uint8_t* plane, const Header& h, uint32_t x) {
    return h.bits == 16 ? plane[2 * x] : plane[x];  // 16-bit samples by their high byte
}

}  // namespace

bool isPhotoshopImage(const uint8_t* data, size_t size) {
    return data && size >= kHeaderSize && std::memcmp(data, kSignature, sizeof kSignature) == 0;
}

Status readPhotoshopHeader(const uint8_t* data, size_t size, ImageHeader& header) {
    Header h;
    Status status = parseHeader(data, size, h);
    if (status == kNoErr) {
        header = ImageHeader{static_cast<int32_t>(h.width), static_cast<int32_t>(h.height), h.depth, h.hRes, h.vRes};
    }
    return status;
}

Status readPhotoshop(const uint8_t* data, size_t size, size_t maxBytes, Bitmap& out) {
    out.reset();
    Header h;
    Status status = parseHeader(data, size, h);
    if (status != kNoErr) {
        return status;
    }
    int planeCount = h.colourPlanes + (h.alpha ? 1 : 0);
    size_t rowBytes = planeRowBytes(h);
    // The planes are at most 30000 x 2 bytes a row, 30000 rows and 4 planes: no overflow.
    size_t planesSize = rowBytes * h.height * static_cast<size_t>(planeCount);
    if (planesSize > maxBytes) {
        return kOutOfMemory;
    }
    // Data shorter than its raw planes cannot be a raw image, and packed data expands at most
    // 128 times: refuse before allocating for either.
    if (planesSize / 128 > size) {
        return kBadPictureData;
    }
    if ((status = out.create(static_cast<int32_t>(h.width), static_cast<int32_t>(h.height), h.depth, maxBytes)) !=
        kNoErr) {
        return status;
    }
    std::unique_ptr<uint8_t, FreeDeleter> planes(static_cast<uint8_t*>(std::malloc(planesSize)));
    if (!planes) {
        out.reset();
        return kOutOfMemory;
    }
    if ((status = readPlanes(data, size, h, planeCount, planes.get())) != kNoErr) {
        out.reset();
        return status;
    }
    size_t planeSize = rowBytes * h.height;
    if (h.mode == kModeIndexed) {
        Rgb palette[kMaxPaletteSize];
        for (int i = 0; i < kMaxPaletteSize; ++i) {
            palette[i] =
                Rgb{h.colourTable[i], h.colourTable[kMaxPaletteSize + i], h.colourTable[2 * kMaxPaletteSize + i]};
        }
        (void)out.setPalette(palette);
    }
    out.setHasAlpha(h.alpha);
    out.setResolution(h.hRes, h.vRes);
    for (uint32_t y = 0; y < h.height; ++y) {
        const uint8_t* first = planes.get() + y * rowBytes;
        uint8_t* row = out.row(static_cast<int32_t>(y));
        if (h.mode == kModeBitmap) {
            // Photoshop's bitmap mode stores 1 for black, as our 1-bit palette (white, black) does.
            std::memcpy(row, first, rowBytes);
            continue;
        }
        if (h.mode == kModeIndexed || (h.mode == kModeGrey && !h.alpha)) {
            for (uint32_t x = 0; x < h.width; ++x) {
                row[x] = sample(first, h, x);
            }
            continue;
        }
        const uint8_t* alphaPlane = h.alpha ? first + planeSize * h.colourPlanes : nullptr;
        for (uint32_t x = 0; x < h.width; ++x) {
            uint8_t red = sample(first, h, x);
            uint8_t green = h.colourPlanes == 3 ? sample(first + planeSize, h, x) : red;
            uint8_t blue = h.colourPlanes == 3 ? sample(first + 2 * planeSize, h, x) : red;
            uint8_t alpha = alphaPlane ? sample(alphaPlane, h, x) : 255;
            out.setPixel(static_cast<int32_t>(x), static_cast<int32_t>(y), Rgba{red, green, blue, alpha});
        }
    }
    out.dropEmptyAlpha();
    return kNoErr;
}

Status writePhotoshop(const Bitmap& bitmap, ByteWriter& out) {
    if (bitmap.empty() || static_cast<uint32_t>(bitmap.width()) > kMaxSide ||
        static_cast<uint32_t>(bitmap.height()) > kMaxSide) {
        return kParamErr;
    }
    const int depth = bitmap.depth();
    const bool grey = depth == kDepthGrey8;
    const bool indexed = isIndexedDepth(depth) && !grey;
    const bool alpha = !indexed && !grey && bitmap.hasAlpha();
    const uint16_t channels = grey || indexed ? 1 : alpha ? 4 : 3;
    const auto width = static_cast<uint32_t>(bitmap.width());
    const auto height = static_cast<uint32_t>(bitmap.height());
    ByteWriter w;
    w.putBytes(kSignature, sizeof kSignature);
    w.put16be(kVersion);
    w.putZeros(6);
    w.put16be(channels);
    w.put32be(height);
    w.put32be(width);
    w.put16be(8);
    w.put16be(grey ? kModeGrey : indexed ? kModeIndexed : kModeRgb);
    if (indexed) {
        std::span<const Rgb> palette = bitmap.palette();
        w.put32be(kIndexedTableSize);
        for (int component = 0; component < 3; ++component) {
            for (size_t i = 0; i < kMaxPaletteSize; ++i) {
                Rgb c = i < palette.size() ? palette[i] : Rgb{};
                w.put8(component == 0 ? c.red : component == 1 ? c.green : c.blue);
            }
        }
    } else {
        w.put32be(0);
    }
    // One resource: the resolution, in dots per inch for both the value and the display.
    w.put32be(12 + kResolutionInfoSize);
    w.putBytes("8BIM", 4);
    w.put16be(kResolutionResource);
    w.put16be(0);  // empty name, padded
    w.put32be(kResolutionInfoSize);
    w.put32be(static_cast<uint32_t>(bitmap.horizontalResolution()));
    w.put16be(1);
    w.put16be(1);
    w.put32be(static_cast<uint32_t>(bitmap.verticalResolution()));
    w.put16be(1);
    w.put16be(1);
    w.put32be(0);  // no layers
    w.put16be(kCompressionRaw);
    // Indexed pixels of fewer than 8 bits and grey 8-bit pixels are indices; grey 2 and 4-bit
    // pixels go out as colours.
    if ((indexed || grey) && !w.reserve(size_t{width} * height)) {
        return kOutOfMemory;
    }
    if (grey || indexed) {
        for (uint32_t y = 0; y < height; ++y) {
            for (uint32_t x = 0; x < width; ++x) {
                w.put8(static_cast<uint8_t>(bitmap.index(static_cast<int32_t>(x), static_cast<int32_t>(y))));
            }
        }
    } else {
        for (uint16_t channel = 0; channel < channels && w.ok(); ++channel) {
            for (uint32_t y = 0; y < height; ++y) {
                for (uint32_t x = 0; x < width; ++x) {
                    w.put8(planeValue(bitmap.pixel(static_cast<int32_t>(x), static_cast<int32_t>(y)), channel));
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
