// Baseline TIFF files.

#include <cstring>
#include <memory>
#include <new>

#include "platform/media/image_writers.h"
#include "platform/media/packbits.h"

namespace korvane::media {

namespace {

constexpr uint16_t kTypeShort = 3;
constexpr uint16_t kTypeLong = 4;
constexpr uint16_t kTypeRational = 5;

constexpr uint16_t kTagWidth = 256;
constexpr uint16_t kTagHeight = 257;
constexpr uint16_t kTagBitsPerSample = 258;
constexpr uint16_t kTagCompression = 259;
constexpr uint16_t kTagPhotometric = 262;
constexpr uint16_t kTagStripOffsets = 273;
constexpr uint16_t kTagSamplesPerPixel = 277;
constexpr uint16_t kTagRowsPerStrip = 278;
constexpr uint16_t kTagStripByteCounts = 279;
constexpr uint16_t kTagXResolution = 282;
constexpr uint16_t kTagYResolution = 283;
constexpr uint16_t kTagPlanarConfig = 284;
constexpr uint16_t kTagResolutionUnit = 296;
constexpr uint16_t kTagColorMap = 320;
constexpr uint16_t kTagExtraSamples = 338;

constexpr uint16_t kCompressionNone = 1;
constexpr uint16_t kCompressionPackBits = 32773;
constexpr uint16_t kPhotometricBlackIsZero = 1;
constexpr uint16_t kPhotometricRgb = 2;
constexpr uint16_t kPhotometricPalette = 3;
constexpr uint16_t kUnitInch = 2;
constexpr uint16_t kExtraUnassociatedAlpha = 2;
constexpr uint32_t kResolutionDenominator = 65536;

struct Entry {
    uint16_t tag;
    uint16_t type;
    uint32_t count;
    uint32_t value;  // the value itself when it fits in four bytes, else its offset
};

}  // namespace

Status writeTiff(const Bitmap& bitmap, bool packRows, ByteWriter& out) {
    if (bitmap.empty()) {
        return kParamErr;
    }
    const int depth = bitmap.depth();
    const bool grey = depth == kDepthGrey8;
    const bool palette = isIndexedDepth(depth) && !grey;
    const bool alpha = !palette && !grey && bitmap.hasAlpha();
    const uint16_t samples = palette || grey ? 1 : alpha ? 4 : 3;
    const uint16_t bits = palette ? static_cast<uint16_t>(bitsPerPixel(depth)) : 8;
    const auto width = static_cast<uint32_t>(bitmap.width());
    const auto height = static_cast<uint32_t>(bitmap.height());
    const size_t rowBytes = palette ? bitmap.rowBytesUsed() : size_t{width} * samples;

    // Layout: header, rows (one strip each), strip offsets and counts, bits per sample,
    // resolutions, colour map, then the directory.
    ByteWriter w;
    w.putBytes("II", 2);
    w.put16le(42);
    w.put32le(0);  // directory offset, patched at the end
    std::unique_ptr<uint32_t[]> offsets(new (std::nothrow) uint32_t[height]);
    std::unique_ptr<uint32_t[]> counts(new (std::nothrow) uint32_t[height]);
    std::unique_ptr<uint8_t, FreeDeleter> row(static_cast<uint8_t*>(std::malloc(rowBytes)));
    std::unique_ptr<uint8_t, FreeDeleter> packed(static_cast<uint8_t*>(std::malloc(packBitsBound(rowBytes, 1))));
    if (!offsets || !counts || !row || !packed) {
        return kOutOfMemory;
    }
    for (uint32_t y = 0; y < height && w.ok(); ++y) {
        const auto iy = static_cast<int32_t>(y);
        if (palette) {
            std::memcpy(row.get(), bitmap.row(iy), rowBytes);
        } else {
            uint8_t* p = row.get();
            for (int32_t x = 0; x < bitmap.width(); ++x) {
                Rgba c = bitmap.pixel(x, iy);
                if (grey) {
                    *p++ = c.red;
                    continue;
                }
                *p++ = c.red;
                *p++ = c.green;
                *p++ = c.blue;
                if (alpha) {
                    *p++ = c.alpha;
                }
            }
        }
        offsets[y] = static_cast<uint32_t>(w.size());
        if (packRows) {
            size_t size = packBits(row.get(), rowBytes, packed.get(), 1);
            w.putBytes(packed.get(), size);
            counts[y] = static_cast<uint32_t>(size);
        } else {
            w.putBytes(row.get(), rowBytes);
            counts[y] = static_cast<uint32_t>(rowBytes);
        }
    }
    auto align = [&w] {
        if (w.size() & 1) {
            w.put8(0);
        }
    };
    align();
    // One strip: the offset and count sit in the entry itself.
    const uint32_t offsetsAt = static_cast<uint32_t>(w.size());
    for (uint32_t y = 0; y < height; ++y) {
        w.put32le(offsets[y]);
    }
    const uint32_t countsAt = static_cast<uint32_t>(w.size());
    for (uint32_t y = 0; y < height; ++y) {
        w.put32le(counts[y]);
    }
    const uint32_t bitsAt = static_cast<uint32_t>(w.size());
    for (uint16_t s = 0; s < samples; ++s) {
        w.put16le(bits);
    }
    align();
    const uint32_t xResAt = static_cast<uint32_t>(w.size());
    w.put32le(static_cast<uint32_t>(bitmap.horizontalResolution()));
    w.put32le(kResolutionDenominator);
    const uint32_t yResAt = static_cast<uint32_t>(w.size());
    w.put32le(static_cast<uint32_t>(bitmap.verticalResolution()));
    w.put32le(kResolutionDenominator);
    uint32_t mapAt = 0;
    const uint32_t mapEntries = palette ? 1u << bits : 0;
    if (palette) {
        mapAt = static_cast<uint32_t>(w.size());
        std::span<const Rgb> colours = bitmap.palette();
        for (int component = 0; component < 3; ++component) {
            for (uint32_t i = 0; i < mapEntries; ++i) {
                Rgb c = i < colours.size() ? colours[i] : Rgb{};
                uint8_t v = component == 0 ? c.red : component == 1 ? c.green : c.blue;
                w.put16le(static_cast<uint16_t>(v * 0x101));
            }
        }
    }
    align();
    const uint16_t photometric = palette ? kPhotometricPalette : grey ? kPhotometricBlackIsZero : kPhotometricRgb;
    Entry entries[16];
    int n = 0;
    entries[n++] = {kTagWidth, kTypeLong, 1, width};
    entries[n++] = {kTagHeight, kTypeLong, 1, height};
    entries[n++] = {kTagBitsPerSample, kTypeShort, samples, samples <= 2 ? bits : bitsAt};
    entries[n++] = {kTagCompression, kTypeShort, 1, packRows ? kCompressionPackBits : kCompressionNone};
    entries[n++] = {kTagPhotometric, kTypeShort, 1, photometric};
    entries[n++] = {kTagStripOffsets, kTypeLong, height, height == 1 ? offsets[0] : offsetsAt};
    entries[n++] = {kTagSamplesPerPixel, kTypeShort, 1, samples};
    entries[n++] = {kTagRowsPerStrip, kTypeLong, 1, 1};
    entries[n++] = {kTagStripByteCounts, kTypeLong, height, height == 1 ? counts[0] : countsAt};
    entries[n++] = {kTagXResolution, kTypeRational, 1, xResAt};
    entries[n++] = {kTagYResolution, kTypeRational, 1, yResAt};
    entries[n++] = {kTagPlanarConfig, kTypeShort, 1, 1};
    entries[n++] = {kTagResolutionUnit, kTypeShort, 1, kUnitInch};
    if (palette) {
        entries[n++] = {kTagColorMap, kTypeShort, 3 * mapEntries, mapAt};
    }
    if (alpha) {
        entries[n++] = {kTagExtraSamples, kTypeShort, 1, kExtraUnassociatedAlpha};
    }
    const uint32_t directoryAt = static_cast<uint32_t>(w.size());
    w.put16le(static_cast<uint16_t>(n));
    for (int i = 0; i < n; ++i) {
        w.put16le(entries[i].tag);
        w.put16le(entries[i].type);
        w.put32le(entries[i].count);
        if (entries[i].type == kTypeShort && entries[i].count <= 2 && entries[i].tag != kTagBitsPerSample) {
            w.put16le(static_cast<uint16_t>(entries[i].value));
            w.put16le(0);
        } else if (entries[i].tag == kTagBitsPerSample && samples <= 2) {
            for (uint16_t s = 0; s < 2; ++s) {
                w.put16le(s < samples ? bits : 0);
            }
        } else {
            w.put32le(entries[i].value);
        }
    }
    w.put32le(0);  // no further directory
    if (!w.ok()) {
        return kOutOfMemory;
    }
    // Patch the directory offset into the header.
    uint8_t* header = w.data();
    header[4] = static_cast<uint8_t>(directoryAt);
    header[5] = static_cast<uint8_t>(directoryAt >> 8);
    header[6] = static_cast<uint8_t>(directoryAt >> 16);
    header[7] = static_cast<uint8_t>(directoryAt >> 24);
    out = std::move(w);
    return kNoErr;
}

}  // namespace korvane::media
