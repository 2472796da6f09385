// MacPaint documents.

#include "platform/media/macpaint.h"

#include <cstring>

#include "platform/media/packbits.h"

namespace korvane::media {

namespace {

constexpr size_t kHeaderSize = 512;
constexpr size_t kMacBinaryHeaderSize = 128;
constexpr size_t kMacBinaryTypeOffset = 65;
constexpr size_t kRowBytes = kMacPaintWidth / 8;
constexpr size_t kPatternCount = 38;
constexpr size_t kPatternSize = 8;

// Where the document starts: after a MacBinary header naming the type, else at 0.
size_t documentStart(const uint8_t* data, size_t size) {
    if (size > kMacBinaryHeaderSize + kHeaderSize && data[0] == 0 &&
        std::memcmp(data + kMacBinaryTypeOffset, "PNTG", 4) == 0) {
        return kMacBinaryHeaderSize;
    }
    return 0;
}

// Unpacks every row into the 1-bit page (null to check only). PackBits runs never cross a
// row, as MacPaint writes them.
bool unpackPage(const uint8_t* data, size_t size, Bitmap* page) {
    if (!data || size < kHeaderSize) {
        return false;
    }
    size_t start = documentStart(data, size);
    ByteReader header(data + start, size - start);
    uint32_t version = header.u32be();
    if (!header.ok() || (version != 0 && version != 2 && version != 3)) {
        return false;
    }
    size_t pos = start + kHeaderSize;
    uint8_t scratch[kRowBytes];
    for (int32_t y = 0; y < kMacPaintHeight; ++y) {
        size_t filled = 0;
        uint8_t* row = page ? page->row(y) : scratch;
        while (filled < kRowBytes) {
            if (pos >= size) {
                return false;
            }
            uint8_t flag = data[pos++];
            if (flag < 128) {
                size_t count = size_t{flag} + 1;
                if (count > kRowBytes - filled || count > size - pos) {
                    return false;
                }
                std::memcpy(row + filled, data + pos, count);
                pos += count;
                filled += count;
            } else if (flag > 128) {
                size_t count = 257 - size_t{flag};
                if (count > kRowBytes - filled || pos >= size) {
                    return false;
                }
                std::memset(row + filled, data[pos++], count);
                filled += count;
            }
        }
    }
    return true;
}

}  // namespace

bool isMacPaintImage(const uint8_t* data, size_t size) {
    return unpackPage(data, size, nullptr);
}

Status readMacPaintHeader(const uint8_t* data, size_t size, ImageHeader& header) {
    if (!data) {
        return kParamErr;
    }
    if (!isMacPaintImage(data, size)) {
        return kBadPictureData;
    }
    header = ImageHeader{kMacPaintWidth, kMacPaintHeight, kDepth1, kDefaultResolution, kDefaultResolution};
    return kNoErr;
}

Status readMacPaint(const uint8_t* data, size_t size, size_t maxBytes, Bitmap& out) {
    out.reset();
    if (!data) {
        return kParamErr;
    }
    Status status = out.create(kMacPaintWidth, kMacPaintHeight, kDepth1, maxBytes);
    if (status != kNoErr) {
        return status;
    }
    if (!unpackPage(data, size, &out)) {
        out.reset();
        return kBadPictureData;
    }
    return kNoErr;
}

Status writeMacPaint(const Bitmap& bitmap, ByteWriter& out) {
    if (bitmap.empty()) {
        return kParamErr;
    }
    ByteWriter w;
    w.put32be(2);  // version 2: the patterns below are used
    for (size_t i = 0; i < kPatternCount; ++i) {
        // Solid black patterns: the reader ignores them, and no editor needs more.
        for (size_t b = 0; b < kPatternSize; ++b) {
            w.put8(0xFF);
        }
    }
    w.putZeros(kHeaderSize - 4 - kPatternCount * kPatternSize);
    uint8_t row[kRowBytes];
    uint8_t packed[kRowBytes + kRowBytes / 128 + 2];
    for (int32_t y = 0; y < kMacPaintHeight && w.ok(); ++y) {
        std::memset(row, 0, sizeof row);
        for (int32_t x = 0; y < bitmap.height() && x < kMacPaintWidth && x < bitmap.width(); ++x) {
            Rgba c = bitmap.pixel(x, y);
            // Luminance in thousandths; transparent pixels count as the white page.
            uint32_t light = (uint32_t{c.red} * 299 + uint32_t{c.green} * 587 + uint32_t{c.blue} * 114) / 1000;
            if (c.alpha >= 128 && light < 128) {
                row[x / 8] = static_cast<uint8_t>(row[x / 8] | 0x80 >> (x % 8));
            }
        }
        size_t size = packBits(row, kRowBytes, packed, 1);
        w.putBytes(packed, size);
    }
    if (!w.ok()) {
        return kOutOfMemory;
    }
    out = std::move(w);
    return kNoErr;
}

}  // namespace korvane::media
