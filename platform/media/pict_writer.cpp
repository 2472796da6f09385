// Writing a picture of one bitmap.

#include <cstring>
#include <memory>

#include "platform/media/packbits.h"
#include "platform/media/pict.h"
#include "platform/media/pict_opcodes.h"

namespace korvane::media {

namespace {

using namespace pict;

constexpr int32_t kMaxPictureSide = INT16_MAX;
constexpr uint16_t kComponentSize8 = 8;
constexpr uint16_t kComponentSize5 = 5;
constexpr uint16_t kChannelsRgb = 3;
constexpr uint16_t kChannelsWithAlpha = 4;

void putRect(ByteWriter& w, int32_t width, int32_t height) {
    w.put16be(0);
    w.put16be(0);
    w.put16be(static_cast<uint16_t>(height));
    w.put16be(static_cast<uint16_t>(width));
}

struct PixMapFields {
    uint16_t rowBytes;
    uint16_t packType;
    uint16_t pixelType;
    uint16_t pixelSize;
    uint16_t cmpCount;
    uint16_t cmpSize;
};

void putPixMap(ByteWriter& w, const PixMapFields& f, int32_t width, int32_t height) {
    w.put16be(static_cast<uint16_t>(f.rowBytes | kPixMapFlag));
    putRect(w, width, height);
    w.put16be(0);  // version
    w.put16be(f.packType);
    w.put32be(0);  // packSize
    w.put32be(static_cast<uint32_t>(kDefaultResolution));
    w.put32be(static_cast<uint32_t>(kDefaultResolution));
    w.put16be(f.pixelType);
    w.put16be(f.pixelSize);
    w.put16be(f.cmpCount);
    w.put16be(f.cmpSize);
    w.put32be(0);  // planeBytes
    w.put32be(0);  // pmTable
    w.put32be(0);  // pmReserved
}

void putColorTable(ByteWriter& w, const Bitmap& bitmap) {
    std::span<const Rgb> palette = bitmap.palette();
    size_t count = palette.empty() ? 1 : palette.size();
    w.put32be(0);  // seed
    w.put16be(0);  // flags: entries carry their index
    w.put16be(static_cast<uint16_t>(count - 1));
    for (size_t i = 0; i < count; ++i) {
        Rgb c = palette.empty() ? Rgb{} : palette[i];
        w.put16be(static_cast<uint16_t>(i));
        w.put16be(static_cast<uint16_t>(c.red * 0x101));
        w.put16be(static_cast<uint16_t>(c.green * 0x101));
        w.put16be(static_cast<uint16_t>(c.blue * 0x101));
    }
}

// Writes one row: raw when rows are too short to pack, else its byte count and PackBits.
void putRow(ByteWriter& w, const uint8_t* row, size_t size, uint16_t rowBytes, unsigned unit, uint8_t* scratch) {
    if (rowBytes < kMinPackedRowBytes) {
        w.putBytes(row, size);
        return;
    }
    size_t packed = packBits(row, size, scratch, unit);
    if (hasWordByteCount(rowBytes)) {
        w.put16be(static_cast<uint16_t>(packed));
    } else {
        w.put8(static_cast<uint8_t>(packed));
    }
    w.putBytes(scratch, packed);
}

// Row of a 16, 24 or 32-bit bitmap in picture order: big-endian x1555 words, or for 32-bit
// pixels the component planes ([alpha,] red, green, blue), or xRGB when rows are not packed.
void directRow(const Bitmap& bitmap, int32_t y, bool planes, bool alpha, uint8_t* out) {
    int32_t width = bitmap.width();
    const uint8_t* in = bitmap.row(y);
    if (bitmap.depth() == kDepth16) {
        for (int32_t x = 0; x < width; ++x) {
            out[2 * x] = in[2 * x + 1] & 0x7F;
            out[2 * x + 1] = in[2 * x];
        }
        return;
    }
    for (int32_t x = 0; x < width; ++x) {
        Rgba c = bitmap.pixel(x, y);
        if (planes) {
            uint8_t* p = out + (alpha ? width : 0);
            if (alpha) {
                out[x] = c.alpha;
            }
            p[x] = c.red;
            p[width + x] = c.green;
            p[2 * width + x] = c.blue;
        } else {
            out[4 * x] = alpha ? c.alpha : 0;
            out[4 * x + 1] = c.red;
            out[4 * x + 2] = c.green;
            out[4 * x + 3] = c.blue;
        }
    }
}

void putImageOpcode(ByteWriter& w, const Bitmap& bitmap, uint8_t* rowBuffer, uint8_t* scratch) {
    int32_t width = bitmap.width();
    int32_t height = bitmap.height();
    int depth = bitmap.depth();
    if (isIndexedDepth(depth)) {
        auto bits = static_cast<uint16_t>(bitsPerPixel(depth));
        auto rowBytes = static_cast<uint16_t>((bitmap.rowBytesUsed() + 1) & ~size_t{1});
        w.put16be(kPackBitsRect);
        putPixMap(w, {rowBytes, kPackDefault, kPixelTypeIndexed, bits, 1, bits}, width, height);
        putColorTable(w, bitmap);
        putRect(w, width, height);
        putRect(w, width, height);
        w.put16be(kModeSrcCopy);
        for (int32_t y = 0; y < height && w.ok(); ++y) {
            std::memset(rowBuffer, 0, rowBytes);
            std::memcpy(rowBuffer, bitmap.row(y), bitmap.rowBytesUsed());
            putRow(w, rowBuffer, rowBytes, rowBytes, 1, scratch);
        }
        return;
    }
    bool is16 = depth == kDepth16;
    bool alpha = !is16 && bitmap.hasAlpha();
    auto rowBytes = static_cast<uint16_t>(width * (is16 ? 2 : 4));
    bool packed = rowBytes >= kMinPackedRowBytes;
    uint16_t packType = !packed ? kPackNone : is16 ? kPackWords : kPackComponents;
    PixMapFields fields{rowBytes,
                        packType,
                        kPixelTypeDirect,
                        static_cast<uint16_t>(is16 ? kDepth16 : kDepth32),
                        alpha ? kChannelsWithAlpha : kChannelsRgb,
                        is16 ? kComponentSize5 : kComponentSize8};
    w.put16be(kDirectBitsRect);
    w.put32be(kDirectBaseAddress);
    putPixMap(w, fields, width, height);
    putRect(w, width, height);
    putRect(w, width, height);
    w.put16be(kModeSrcCopy);
    size_t rowSize = is16 ? rowBytes : packed ? static_cast<size_t>(width) * (alpha ? 4 : 3) : rowBytes;
    for (int32_t y = 0; y < height && w.ok(); ++y) {
        directRow(bitmap, y, packed, alpha, rowBuffer);
        putRow(w, rowBuffer, rowSize, rowBytes, is16 ? 2 : 1, scratch);
    }
}

// The size word, frame, version, extended header at 72 dpi and a clip to the frame.
void putPictureStart(ByteWriter& w, int32_t width, int32_t height) {
    w.put16be(0);  // size word, set by putPictureEnd
    putRect(w, width, height);
    w.put16be(kVersionOp);
    w.put16be(kVersion2);
    w.put16be(kHeaderOp);
    w.put16be(kHeaderVersionExtended);
    w.put16be(0);
    w.put32be(static_cast<uint32_t>(kDefaultResolution));
    w.put32be(static_cast<uint32_t>(kDefaultResolution));
    putRect(w, width, height);
    w.put32be(0);
    w.put16be(kClip);
    w.put16be(kRegionHeaderSize);
    putRect(w, width, height);
}

Status putPictureEnd(ByteWriter& w, ByteWriter& out) {
    if (w.size() & 1) {
        w.put8(0);
    }
    w.put16be(kEndPicture);
    if (!w.ok()) {
        return kOutOfMemory;
    }
    // The size word holds the low 16 bits of the size, as version 2 pictures have it.
    w.patch16be(0, static_cast<uint16_t>(w.size()));
    out = std::move(w);
    return kNoErr;
}

// Bytes of the compressed-image opcode before the image description: version, matrix, matte
// size and rectangle, mode, source rectangle, accuracy, mask size.
constexpr size_t kCompressedHeaderSize = 2 + 36 + 4 + 8 + 2 + 8 + 4 + 4 + kImageDescriptionSize;

}  // namespace

Status writePict(const Bitmap& bitmap, ByteWriter& out) {
    int32_t width = bitmap.width();
    int32_t height = bitmap.height();
    if (bitmap.empty() || width > kMaxPictureSide || height > kMaxPictureSide) {
        return kParamErr;
    }
    // Rows are at most 4 x 32767 bytes; PackBits may grow them by one byte in 128.
    constexpr size_t kMaxRowBytes = size_t{4} * kMaxPictureSide;
    std::unique_ptr<uint8_t, FreeDeleter> rowBuffer(static_cast<uint8_t*>(std::malloc(kMaxRowBytes)));
    std::unique_ptr<uint8_t, FreeDeleter> scratch(static_cast<uint8_t*>(std::malloc(packBitsBound(kMaxRowBytes, 1))));
    if (!rowBuffer || !scratch) {
        return kOutOfMemory;
    }
    ByteWriter w;
    putPictureStart(w, width, height);
    putImageOpcode(w, bitmap, rowBuffer.get(), scratch.get());
    return putPictureEnd(w, out);
}

void writeImageDescription(const CodecImage& image, ByteWriter& out) {
    out.put32be(kImageDescriptionSize);
    out.put32be(image.codec);
    out.putZeros(4 + 2);  // reserved
    out.put16be(0);       // data reference index
    out.put16be(0);       // version
    out.put16be(0);       // revision
    out.put32be(0);       // vendor
    out.put32be(0);       // temporal quality
    out.put32be(static_cast<uint32_t>(image.quality));
    out.put16be(static_cast<uint16_t>(image.width));
    out.put16be(static_cast<uint16_t>(image.height));
    out.put32be(static_cast<uint32_t>(image.hRes));
    out.put32be(static_cast<uint32_t>(image.vRes));
    out.put32be(static_cast<uint32_t>(image.size));
    out.put16be(1);    // frame count
    out.putZeros(32);  // name: empty Pascal string
    out.put16be(static_cast<uint16_t>(image.depth));
    out.put16be(0xFFFF);  // no colour table
}

Status writeCompressedPict(const CodecImage& image, ByteWriter& out) {
    if (!image.data || image.size == 0 || image.width <= 0 || image.height <= 0 || image.width > kMaxPictureSide ||
        image.height > kMaxPictureSide || image.size > UINT32_MAX - kCompressedHeaderSize) {
        return kParamErr;
    }
    ByteWriter w;
    putPictureStart(w, image.width, image.height);
    w.put16be(kCompressedImage);
    w.put32be(static_cast<uint32_t>(kCompressedHeaderSize + image.size));
    w.put16be(0);  // version
    // The identity matrix: the image lands on its own rectangle.
    const int32_t identity[9] = {kFixedOne, 0, 0, 0, kFixedOne, 0, 0, 0, 0x40000000};
    for (int32_t v : identity) {
        w.put32be(static_cast<uint32_t>(v));
    }
    w.put32be(0);   // matte size
    w.putZeros(8);  // matte rectangle
    w.put16be(kModeSrcCopy);
    putRect(w, image.width, image.height);
    w.put32be(0);  // accuracy
    w.put32be(0);  // mask size
    writeImageDescription(image, w);
    w.putBytes(image.data, image.size);
    return putPictureEnd(w, out);
}

}  // namespace korvane::media
