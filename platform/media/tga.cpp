#include "platform/media/tga.h"

#include <cstring>

#include "platform/media/byte_io.h"

namespace korvane::media {

namespace {

constexpr size_t kHeaderSize = 18;
constexpr uint8_t kTypeColorMapped = 1;
constexpr uint8_t kTypeTrueColor = 2;
constexpr uint8_t kTypeGrey = 3;
constexpr uint8_t kRleTypeOffset = 8;
constexpr uint8_t kDescriptorRightToLeft = 0x10;
constexpr uint8_t kDescriptorTopDown = 0x20;
constexpr uint8_t kRunPacketFlag = 0x80;
constexpr uint8_t kPacketCountMask = 0x7F;
constexpr size_t kMaxPixelBytes = 4;

struct TgaHeader {
    uint8_t idLength;
    uint8_t colorMapType;
    uint8_t type;  // without the run-length offset
    bool rle;
    uint16_t mapFirst;
    uint16_t mapLength;
    uint8_t mapEntryBits;
    int32_t width;
    int32_t height;
    uint8_t pixelBits;
    uint8_t descriptor;
    int depth;
    size_t pixelBytes;
    size_t dataOffset;
};

size_t bytesOfBits(unsigned bits) {
    return (bits + 7) / 8;
}

Status parseHeader(const uint8_t* data, size_t size, TgaHeader& h) {
    if (!data) {
        return kParamErr;
    }
    ByteReader r(data, size);
    h.idLength = r.u8();
    h.colorMapType = r.u8();
    uint8_t type = r.u8();
    h.mapFirst = r.u16le();
    h.mapLength = r.u16le();
    h.mapEntryBits = r.u8();
    r.skip(4);  // origin
    h.width = r.u16le();
    h.height = r.u16le();
    h.pixelBits = r.u8();
    h.descriptor = r.u8();
    if (!r.ok() || h.colorMapType > 1 || h.width == 0 || h.height == 0) {
        return kBadPictureData;
    }
    h.rle = type > kRleTypeOffset;
    h.type = h.rle ? static_cast<uint8_t>(type - kRleTypeOffset) : type;
    bool mapBitsOk = h.mapEntryBits == 15 || h.mapEntryBits == 16 || h.mapEntryBits == 24 || h.mapEntryBits == 32;
    if (h.colorMapType == 1 && !mapBitsOk) {
        return kBadPictureData;
    }
    switch (h.type) {
        case kTypeColorMapped:
            if (h.colorMapType != 1 || h.pixelBits != 8) {
                return kBadPictureData;
            }
            h.depth = kDepth8;
            break;
        case kTypeTrueColor:
            if (h.pixelBits == 15 || h.pixelBits == 16) {
                h.depth = kDepth16;
            } else if (h.pixelBits == 24 || h.pixelBits == 32) {
                h.depth = h.pixelBits;
            } else {
                return kBadPictureData;
            }
            break;
        case kTypeGrey:
            if (h.pixelBits != 8 && h.pixelBits != 16) {
                return kBadPictureData;
            }
            h.depth = h.pixelBits == 8 ? kDepthGrey8 : kDepth32;
            break;
        default:
            return kBadPictureData;
    }
    h.pixelBytes = bytesOfBits(h.pixelBits);
    size_t mapBytes = h.colorMapType ? size_t{h.mapLength} * bytesOfBits(h.mapEntryBits) : 0;
    h.dataOffset = kHeaderSize + h.idLength + mapBytes;
    if (h.dataOffset > size) {
        return kBadPictureData;
    }
    // The least data the pixels can take: all of them raw, or full runs of 128 with their
    // packet bytes. A header that claims more than the file holds fails before any allocation.
    uint64_t pixels = static_cast<uint64_t>(h.width) * static_cast<uint64_t>(h.height);
    uint64_t least =
        h.rle ? (pixels + kPacketCountMask) / (kPacketCountMask + 1) * (1 + h.pixelBytes) : pixels * h.pixelBytes;
    return least <= size - h.dataOffset ? kNoErr : kBadPictureData;
}

Rgb mapEntry(const uint8_t* p, uint8_t bits) {
    if (bits <= 16) {
        return unpackRgb555(static_cast<uint16_t>(p[0] | p[1] << 8));
    }
    return Rgb{p[2], p[1], p[0]};
}

Status readColorMap(const TgaHeader& h, const uint8_t* data, Bitmap& out) {
    Rgb palette[kMaxPaletteSize] = {};
    size_t entryBytes = bytesOfBits(h.mapEntryBits);
    const uint8_t* map = data + kHeaderSize + h.idLength;
    int count = 0;
    for (size_t i = 0; i < h.mapLength; ++i) {
        size_t index = h.mapFirst + i;
        if (index >= kMaxPaletteSize) {
            break;
        }
        palette[index] = mapEntry(map + i * entryBytes, h.mapEntryBits);
        count = static_cast<int>(index) + 1;
    }
    return out.setPalette({palette, static_cast<size_t>(count)});
}

void storePixel(const TgaHeader& h, Bitmap& out, size_t n, const uint8_t* p) {
    auto x = static_cast<int32_t>(n % static_cast<size_t>(h.width));
    auto y = static_cast<int32_t>(n / static_cast<size_t>(h.width));
    if (h.descriptor & kDescriptorRightToLeft) {
        x = h.width - 1 - x;
    }
    if (!(h.descriptor & kDescriptorTopDown)) {
        y = h.height - 1 - y;
    }
    uint8_t* row = out.row(y);
    if (h.type == kTypeGrey && h.pixelBits == 16) {
        out.setPixel(x, y, Rgba{p[0], p[0], p[0], p[1]});
    } else if (h.depth == kDepth16) {
        row[2 * x] = p[0];
        row[2 * x + 1] = p[1] & 0x7F;
    } else {
        // Indices, grey, BGR and BGRA bytes are stored as the file has them.
        std::memcpy(row + static_cast<size_t>(x) * h.pixelBytes, p, h.pixelBytes);
    }
}

Status readPixels(const TgaHeader& h, ByteReader& r, Bitmap& out) {
    size_t total = static_cast<size_t>(h.width) * static_cast<size_t>(h.height);
    size_t n = 0;
    while (n < total) {
        size_t count = 1;
        bool run = false;
        if (h.rle) {
            uint8_t packet = r.u8();
            count = (packet & kPacketCountMask) + 1u;
            run = (packet & kRunPacketFlag) != 0;
        } else {
            count = total;
        }
        const uint8_t* p = run ? r.take(h.pixelBytes) : nullptr;
        for (size_t i = 0; i < count && n < total; ++i, ++n) {
            const uint8_t* pixel = run ? p : r.take(h.pixelBytes);
            if (!pixel) {
                return kBadPictureData;
            }
            storePixel(h, out, n, pixel);
        }
        if (!r.ok()) {
            return kBadPictureData;
        }
    }
    return kNoErr;
}

}  // namespace

Status readTgaHeader(const uint8_t* data, size_t size, ImageHeader& header) {
    TgaHeader h{};
    Status status = parseHeader(data, size, h);
    if (status == kNoErr) {
        header = ImageHeader{h.width, h.height, h.depth, kDefaultResolution, kDefaultResolution};
    }
    return status;
}

Status readTga(const uint8_t* data, size_t size, size_t maxBytes, Bitmap& out) {
    out.reset();
    TgaHeader h{};
    Status status = parseHeader(data, size, h);
    if (status != kNoErr) {
        return status;
    }
    static_assert(kMaxPixelBytes == 4, "TGA pixels are at most 4 bytes");
    if ((status = out.create(h.width, h.height, h.depth, maxBytes)) != kNoErr) {
        return status;
    }
    out.setHasAlpha(h.depth == kDepth32);
    if (h.type == kTypeColorMapped) {
        status = readColorMap(h, data, out);
    }
    ByteReader r(data, size);
    r.seek(h.dataOffset);
    if (status == kNoErr) {
        status = readPixels(h, r, out);
    }
    if (status != kNoErr) {
        out.reset();
        return status;
    }
    out.dropEmptyAlpha();
    return kNoErr;
}

}  // namespace korvane::media

namespace korvane::media {

Status writeTga(const Bitmap& bitmap, ByteWriter& out) {
    if (bitmap.empty() || bitmap.width() > UINT16_MAX || bitmap.height() > UINT16_MAX) {
        return kParamErr;
    }
    const int depth = bitmap.depth();
    const bool grey = depth == kDepthGrey8;
    const bool mapped = isIndexedDepth(depth) && !grey;
    const bool alpha = !mapped && !grey && bitmap.hasAlpha();
    const uint8_t pixelBits = grey || mapped ? 8 : depth == kDepth16 ? 16 : alpha ? 32 : 24;
    ByteWriter w;
    w.put8(0);  // no image id
    w.put8(mapped ? 1 : 0);
    w.put8(mapped ? kTypeColorMapped : grey ? kTypeGrey : kTypeTrueColor);
    std::span<const Rgb> palette = bitmap.palette();
    w.put16le(0);
    w.put16le(static_cast<uint16_t>(mapped ? kMaxPaletteSize : 0));
    w.put8(mapped ? 24 : 0);
    w.putZeros(4);  // origin
    w.put16le(static_cast<uint16_t>(bitmap.width()));
    w.put16le(static_cast<uint16_t>(bitmap.height()));
    w.put8(pixelBits);
    // Rows top to bottom; alpha bits for 32-bit pixels.
    w.put8(static_cast<uint8_t>(kDescriptorTopDown | (alpha ? 8 : 0)));
    if (mapped) {
        for (size_t i = 0; i < kMaxPaletteSize; ++i) {
            Rgb c = i < palette.size() ? palette[i] : Rgb{};
            const uint8_t bgr[3] = {c.blue, c.green, c.red};
            w.putBytes(bgr, sizeof bgr);
        }
    }
    if (!w.reserve(static_cast<size_t>(bitmap.width()) * bitmap.height() * bytesOfBits(pixelBits))) {
        return kOutOfMemory;
    }
    for (int32_t y = 0; y < bitmap.height(); ++y) {
        if (depth == kDepth16 || (depth == kDepth24) || (depth == kDepth32 && alpha)) {
            // Stored as the bitmap stores them: 555 words, BGR, BGRA.
            w.putBytes(bitmap.row(y), static_cast<size_t>(bitmap.width()) * bytesOfBits(pixelBits));
            continue;
        }
        for (int32_t x = 0; x < bitmap.width(); ++x) {
            if (grey || mapped) {
                w.put8(static_cast<uint8_t>(bitmap.index(x, y)));
            } else {
                Rgba c = bitmap.pixel(x, y);
                const uint8_t bgr[3] = {c.blue, c.green, c.red};
                w.putBytes(bgr, sizeof bgr);
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
