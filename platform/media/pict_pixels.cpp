// Pixel rows of pictures: bitmap opcode rows and uncompressed image data into bitmaps.

#include <cstring>
#include <memory>

#include "platform/media/packbits.h"
#include "platform/media/pict_opcodes.h"
#include "platform/media/pict_walk.h"

namespace korvane::media::pict {

namespace {

constexpr int kChannelsWithAlpha = 4;

void store16(uint8_t* out, int32_t x, uint16_t v) {
    out[2 * x] = static_cast<uint8_t>(v);
    out[2 * x + 1] = static_cast<uint8_t>(v >> 8);
}

void storeBgra(uint8_t* out, int32_t x, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    out[4 * x] = b;
    out[4 * x + 1] = g;
    out[4 * x + 2] = r;
    out[4 * x + 3] = a;
}

// One unpacked row of a bitmap opcode into a bitmap row of the opcode's depth.
void convertRow(const ImageOp& op, const uint8_t* in, uint8_t* out, int32_t width, size_t indexedBytes) {
    constexpr uint16_t k555Mask = 0x7FFF;
    bool alpha = op.cmpCount == kChannelsWithAlpha;
    switch (op.pixelSize) {
        case kDepth16:
            for (int32_t x = 0; x < width; ++x) {
                store16(out, x, static_cast<uint16_t>((in[2 * x] << 8 | in[2 * x + 1]) & k555Mask));
            }
            return;
        case kDepth32:
            if (op.packType == kPackComponents) {
                const uint8_t* plane = in;
                const uint8_t* a = alpha ? plane : nullptr;
                if (alpha) {
                    plane += width;
                }
                for (int32_t x = 0; x < width; ++x) {
                    storeBgra(out, x, plane[x], plane[width + x], plane[2 * width + x], a ? a[x] : 255);
                }
            } else if (op.packType == kPackDropPad) {
                for (int32_t x = 0; x < width; ++x) {
                    storeBgra(out, x, in[3 * x], in[3 * x + 1], in[3 * x + 2], 255);
                }
            } else {
                for (int32_t x = 0; x < width; ++x) {
                    storeBgra(out, x, in[4 * x + 1], in[4 * x + 2], in[4 * x + 3], alpha ? in[4 * x] : 255);
                }
            }
            return;
        default:
            std::memcpy(out, in, indexedBytes);
            return;
    }
}

}  // namespace

Status decodeImageOp(const ImageOp& op, size_t maxBytes, Bitmap& out) {
    int32_t width = op.bounds.width();
    int32_t height = op.bounds.height();
    Status status = out.create(width, height, op.depth, maxBytes);
    if (status != kNoErr) {
        return status;
    }
    if (isIndexedDepth(op.depth) && !isGreyDepth(op.depth)) {
        (void)out.setPalette({op.palette, static_cast<size_t>(op.paletteSize)});
    }
    out.setHasAlpha(op.pixelSize == kDepth32 && op.cmpCount == kChannelsWithAlpha);
    std::unique_ptr<uint8_t, FreeDeleter> buffer(static_cast<uint8_t*>(std::malloc(op.unpackedRowSize)));
    if (!buffer) {
        out.reset();
        return kOutOfMemory;
    }
    ByteReader r(op.rows, op.rowsSize);
    size_t indexedBytes = out.rowBytesUsed();
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* in = nullptr;
        if (op.encoding == RowEncoding::kRaw || op.encoding == RowEncoding::kRgbTriples) {
            in = r.take(op.unpackedRowSize);
        } else {
            size_t count = op.wordCounts ? r.u16be() : r.u8();
            const uint8_t* packed = r.take(count);
            unsigned unit = op.encoding == RowEncoding::kPackedWords ? 2 : 1;
            if (packed && unpackBits(packed, count, buffer.get(), op.unpackedRowSize, unit)) {
                in = buffer.get();
            }
        }
        if (!in) {
            out.reset();
            return kBadPictureData;
        }
        convertRow(op, in, out.row(y), width, indexedBytes);
    }
    out.dropEmptyAlpha();
    return kNoErr;
}

Status decodeRawImage(const CompressedOp& op, size_t maxBytes, Bitmap& out) {
    int bits = bitsPerPixel(op.depth);
    if (bits == 0) {
        return kBadPictureData;
    }
    uint64_t minRow = (static_cast<uint64_t>(op.width) * static_cast<uint64_t>(bits) + 7) / 8;
    uint64_t rowBytes = op.size / static_cast<uint64_t>(op.height);
    if (rowBytes < minRow) {
        return kBadPictureData;
    }
    Status status = out.create(op.width, op.height, op.depth, maxBytes);
    if (status != kNoErr) {
        return status;
    }
    if (isIndexedDepth(op.depth) && !isGreyDepth(op.depth) && op.depth != kDepth1) {
        // Without an attached colour table: the ramp from white to black.
        Rgb ramp[kMaxPaletteSize];
        int count = 1 << bits;
        for (int i = 0; i < count; ++i) {
            auto level = static_cast<uint8_t>(255 - i * 255 / (count - 1));
            ramp[i] = Rgb{level, level, level};
        }
        (void)out.setPalette(op.palette ? std::span<const Rgb>(op.palette, static_cast<size_t>(op.paletteSize))
                                        : std::span<const Rgb>(ramp, static_cast<size_t>(count)));
    } else if (op.depth == kDepth1 && op.palette) {
        (void)out.setPalette({op.palette, static_cast<size_t>(op.paletteSize)});
    }
    out.setHasAlpha(op.depth == kDepth32);
    // Only grey depths (at most 8 bits) use it; 32-bit data must not shift by 32.
    uint32_t greyMax = bits < 32 ? (1u << bits) - 1 : UINT32_MAX;
    for (int32_t y = 0; y < op.height; ++y) {
        const uint8_t* in = op.data + static_cast<size_t>(rowBytes) * static_cast<size_t>(y);
        uint8_t* row = out.row(y);
        switch (op.depth) {
            case kDepth16:
                for (int32_t x = 0; x < op.width; ++x) {
                    store16(row, x, static_cast<uint16_t>((in[2 * x] << 8 | in[2 * x + 1]) & 0x7FFF));
                }
                break;
            case kDepth24:
                for (int32_t x = 0; x < op.width; ++x) {
                    row[3 * x] = in[3 * x + 2];
                    row[3 * x + 1] = in[3 * x + 1];
                    row[3 * x + 2] = in[3 * x];
                }
                break;
            case kDepth32:
                for (int32_t x = 0; x < op.width; ++x) {
                    storeBgra(row, x, in[4 * x + 1], in[4 * x + 2], in[4 * x + 3], in[4 * x]);
                }
                break;
            default:
                std::memcpy(row, in, static_cast<size_t>(minRow));
                if (isGreyDepth(op.depth)) {
                    // Grey image data counts from white; our grey bitmaps count from black.
                    for (int32_t x = 0; x < op.width; ++x) {
                        out.setIndex(x, y, greyMax - out.index(x, y));
                    }
                }
                break;
        }
    }
    out.dropEmptyAlpha();
    return kNoErr;
}

}  // namespace korvane::media::pict
