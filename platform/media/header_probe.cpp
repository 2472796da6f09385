#include "platform/media/header_probe.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/media/byte_io.h"

namespace korvane::media {

namespace {

constexpr double kMaxDotsPerInch = 32767.0;
constexpr double kWholeDotsTolerance = 0.013;        // half a pixel per metre, in dots per inch
constexpr double kWholeDotsToleranceBelow = 0.0255;  // one pixel per metre: a value rounded down
constexpr double kMetresPerInch = 0.0254;
constexpr double kCentimetresPerInch = 2.54;

// JPEG markers.
constexpr uint8_t kMarkerPrefix = 0xFF;
constexpr uint8_t kStartOfImage = 0xD8;
constexpr uint8_t kStartOfScan = 0xDA;
constexpr uint8_t kEndOfImage = 0xD9;
constexpr uint8_t kApp0 = 0xE0;
constexpr uint8_t kTem = 0x01;
constexpr uint8_t kFirstRestart = 0xD0;
constexpr uint8_t kLastRestart = 0xD7;
constexpr uint8_t kJfifDotsPerInch = 1;
constexpr uint8_t kJfifDotsPerCentimetre = 2;

bool isStartOfFrame(uint8_t marker) {
    // C0..CF except DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

void readJfif(ByteReader segment, ProbedHeader& out) {
    const uint8_t* id = segment.take(5);
    if (!id || std::memcmp(id, "JFIF\0", 5) != 0) {
        return;
    }
    segment.skip(2);  // version
    const uint8_t units = segment.u8();
    const uint16_t x = segment.u16be();
    const uint16_t y = segment.u16be();
    if (!segment.ok() || (units != kJfifDotsPerInch && units != kJfifDotsPerCentimetre)) {
        return;
    }
    const double scale = units == kJfifDotsPerCentimetre ? kCentimetresPerInch : 1.0;
    out.hRes = resolutionFromDotsPerInch(x * scale);
    out.vRes = resolutionFromDotsPerInch(y * scale);
}

bool readFrame(ByteReader segment, ProbedHeader& out) {
    segment.skip(1);  // sample precision
    const uint16_t height = segment.u16be();
    const uint16_t width = segment.u16be();
    const uint8_t components = segment.u8();
    if (!segment.ok() || width == 0 || height == 0) {
        return false;  // a height of 0 is given later (DNL): left to the system decoder
    }
    switch (components) {
        case 1:
            out.format = PixelFormat::kGrey8;
            break;
        case 3:
            out.format = PixelFormat::kRgb24;
            break;
        case 4:
            out.format = PixelFormat::kCmyk32;
            break;
        default:
            return false;
    }
    out.width = width;
    out.height = height;
    return true;
}

bool probeJpeg(const uint8_t* data, size_t size, ProbedHeader& out) {
    ByteReader reader(data, size);
    if (reader.u8() != kMarkerPrefix || reader.u8() != kStartOfImage) {
        return false;
    }
    while (reader.ok()) {
        if (reader.u8() != kMarkerPrefix) {
            return false;
        }
        uint8_t marker = reader.u8();
        while (marker == kMarkerPrefix && reader.ok()) {
            marker = reader.u8();  // fill bytes
        }
        if (marker == kTem || (marker >= kFirstRestart && marker <= kLastRestart)) {
            continue;  // no length
        }
        if (marker == kStartOfScan || marker == kEndOfImage) {
            return false;  // no frame header before the image data
        }
        const uint16_t length = reader.u16be();
        if (length < 2) {
            return false;
        }
        const uint8_t* body = reader.take(length - 2u);
        if (!body) {
            return false;
        }
        ByteReader segment(body, length - 2u);
        if (marker == kApp0) {
            readJfif(segment, out);
        } else if (isStartOfFrame(marker)) {
            return readFrame(segment, out);
        }
    }
    return false;
}

constexpr uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint32_t kChunkIhdr = 0x49484452;
constexpr uint32_t kChunkPlte = 0x504C5445;
constexpr uint32_t kChunkPhys = 0x70485973;
constexpr uint32_t kChunkTrns = 0x74524E53;
constexpr uint32_t kChunkIdat = 0x49444154;
constexpr uint32_t kPngMaxDimension = 0x7FFFFFFF;
constexpr size_t kChunkCrcSize = 4;
constexpr uint8_t kPhysUnitMetre = 1;

enum PngColourType : uint8_t { kGrey = 0, kRgb = 2, kPalette = 3, kGreyAlpha = 4, kRgba = 6 };

bool pngFormat(uint8_t colourType, uint8_t bits, PixelFormat& format) {
    switch (colourType) {
        case kGrey:
            switch (bits) {
                case 1:
                    format = PixelFormat::kBlackWhite;
                    return true;
                case 2:
                    format = PixelFormat::kGrey2;
                    return true;
                case 4:
                    format = PixelFormat::kGrey4;
                    return true;
                case 8:
                    format = PixelFormat::kGrey8;
                    return true;
                case 16:
                    format = PixelFormat::kGrey16;
                    return true;
                default:
                    return false;
            }
        case kRgb:
            format = bits == 16 ? PixelFormat::kRgb48 : PixelFormat::kRgb24;
            return bits == 8 || bits == 16;
        case kPalette:
            switch (bits) {
                case 1:
                    format = PixelFormat::kIndexed1;
                    return true;
                case 2:
                    format = PixelFormat::kIndexed2;
                    return true;
                case 4:
                    format = PixelFormat::kIndexed4;
                    return true;
                case 8:
                    format = PixelFormat::kIndexed8;
                    return true;
                default:
                    return false;
            }
        case kGreyAlpha:
        case kRgba:
            format = bits == 16 ? PixelFormat::kRgba64 : PixelFormat::kRgba32;
            return bits == 8 || bits == 16;
        default:
            return false;
    }
}

void readPalette(ByteReader chunk, size_t length, ProbedHeader& out) {
    const size_t entries = std::min<size_t>(length / 3, kMaxPaletteSize);
    for (size_t i = 0; i < entries; ++i) {
        out.colours[i] = Rgb{chunk.u8(), chunk.u8(), chunk.u8()};
    }
    out.colourCount = static_cast<int>(entries);
}

void readPhysical(ByteReader chunk, ProbedHeader& out) {
    const uint32_t x = chunk.u32be();
    const uint32_t y = chunk.u32be();
    const uint8_t unit = chunk.u8();
    if (chunk.ok() && unit == kPhysUnitMetre) {
        out.hRes = resolutionFromDotsPerInch(x * kMetresPerInch);
        out.vRes = resolutionFromDotsPerInch(y * kMetresPerInch);
    }
}

bool probePng(const uint8_t* data, size_t size, ProbedHeader& out) {
    ByteReader reader(data, size);
    const uint8_t* signature = reader.take(sizeof kPngSignature);
    if (!signature || std::memcmp(signature, kPngSignature, sizeof kPngSignature) != 0) {
        return false;
    }
    if (reader.u32be() != 13 || reader.u32be() != kChunkIhdr) {
        return false;
    }
    const uint32_t width = reader.u32be();
    const uint32_t height = reader.u32be();
    const uint8_t bits = reader.u8();
    const uint8_t colourType = reader.u8();
    reader.skip(3 + kChunkCrcSize);  // compression, filter, interlace; CRC
    if (!reader.ok() || width == 0 || height == 0 || width > kPngMaxDimension || height > kPngMaxDimension ||
        !pngFormat(colourType, bits, out.format)) {
        return false;
    }
    out.width = static_cast<int32_t>(width);
    out.height = static_cast<int32_t>(height);
    for (;;) {
        const uint32_t length = reader.u32be();
        const uint32_t type = reader.u32be();
        const uint8_t* body = reader.take(length);
        reader.skip(kChunkCrcSize);
        if (!body || !reader.ok()) {
            return false;
        }
        if (type == kChunkIdat) {
            return colourType != kPalette || out.colourCount > 0;
        }
        if (type == kChunkTrns) {
            return false;  // transparency changes the system decoder's format
        }
        if (type == kChunkPlte) {
            readPalette(ByteReader(body, length), length, out);
        } else if (type == kChunkPhys) {
            readPhysical(ByteReader(body, length), out);
        }
    }
}

}  // namespace

Fixed resolutionFromDotsPerInch(double dotsPerInch) {
    if (!(dotsPerInch > 0.0 && dotsPerInch < kMaxDotsPerInch)) {
        return kDefaultResolution;
    }
    const double whole = std::round(dotsPerInch);
    const double above = dotsPerInch - whole;
    if (above < kWholeDotsTolerance && -above < kWholeDotsToleranceBelow) {
        dotsPerInch = whole;
    }
    return static_cast<Fixed>(std::lround(dotsPerInch * kFixedOne));
}

bool tiffLacksResolution(const uint8_t* data, size_t size, int index) {
    constexpr uint16_t kTagXResolution = 282;
    constexpr size_t kEntrySize = 12;
    constexpr int kMaxDirectories = 4096;
    if (!data || size < 8 || index < 1 || index > kMaxDirectories) {
        return false;
    }
    const bool little = data[0] == 'I' && data[1] == 'I' && data[2] == 42 && data[3] == 0;
    const bool big = data[0] == 'M' && data[1] == 'M' && data[2] == 0 && data[3] == 42;
    if (!little && !big) {
        return false;
    }
    ByteReader r(data, size);
    auto u16 = [&r, little] { return little ? r.u16le() : r.u16be(); };
    auto u32 = [&r, little] { return little ? r.u32le() : r.u32be(); };
    r.seek(4);
    uint32_t directory = u32();
    for (int i = 1; i < index && r.ok(); ++i) {
        r.seek(directory);
        uint16_t entries = u16();
        r.skip(size_t{entries} * kEntrySize);
        directory = u32();
    }
    r.seek(directory);
    uint16_t entries = u16();
    for (uint16_t e = 0; e < entries && r.ok(); ++e) {
        if (u16() == kTagXResolution) {
            return false;
        }
        r.skip(kEntrySize - 2);
    }
    return r.ok();
}

bool probeHeader(const uint8_t* data, size_t size, ProbedHeader& out) {
    if (!data) {
        return false;
    }
    ProbedHeader header;
    if (!probeJpeg(data, size, header) && !probePng(data, size, (header = ProbedHeader{}))) {
        return false;
    }
    out = header;
    return true;
}

}  // namespace korvane::media
