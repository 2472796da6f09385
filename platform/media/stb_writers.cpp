// JPEG and PNG through stb_image_write (Debian's libstb-dev), compiled into the module. We
// use it rather than the Windows Imaging Component because Wine's JPEG encoder ignores the
// quality, and one encoder on every system keeps the files the same everywhere.

#include <cstdlib>
#include <cstring>

#include "platform/media/image_writers.h"

#define STBI_WRITE_NO_STDIO
#define STBIW_ASSERT(x) ((void)0)
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wtype-limits"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include <memory>

#include "platform/media/dib.h"

namespace korvane::media {

namespace {

constexpr int32_t kMaxSide = UINT16_MAX;

void appendToWriter(void* context, void* data, int size) {
    if (size > 0) {
        static_cast<ByteWriter*>(context)->putBytes(data, static_cast<size_t>(size));
    }
}

// The pixels as 8-bit channels (1, 3 or 4 a pixel), rows packed top to bottom.
struct Channels {
    std::unique_ptr<uint8_t, FreeDeleter> pixels;
    int count = 0;
};

Status toChannels(const Bitmap& bitmap, int count, Channels& out) {
    size_t size =
        static_cast<size_t>(bitmap.width()) * static_cast<size_t>(bitmap.height()) * static_cast<size_t>(count);
    out.pixels.reset(static_cast<uint8_t*>(std::malloc(size)));
    if (!out.pixels) {
        return kOutOfMemory;
    }
    out.count = count;
    uint8_t* p = out.pixels.get();
    for (int32_t y = 0; y < bitmap.height(); ++y) {
        for (int32_t x = 0; x < bitmap.width(); ++x) {
            Rgba c = bitmap.pixel(x, y);
            if (count == 1) {
                *p++ = c.red;
                continue;
            }
            *p++ = c.red;
            *p++ = c.green;
            *p++ = c.blue;
            if (count == 4) {
                *p++ = c.alpha;
            }
        }
    }
    return kNoErr;
}

// JFIF density fields of stb's fixed header: units at 13, densities at 14 and 16.
constexpr size_t kJfifUnits = 13;
constexpr uint8_t kJfifDotsPerInch = 1;

int wholeDpi(Fixed resolution) {
    int dpi = (resolution + kFixedOne / 2) / kFixedOne;
    return dpi < 1 ? 1 : dpi > UINT16_MAX ? UINT16_MAX : dpi;
}

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) {
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
    }
    return ~crc;
}

}  // namespace

Status writeJpeg(const Bitmap& bitmap, int quality, ByteWriter& out) {
    if (bitmap.empty() || bitmap.width() > kMaxSide || bitmap.height() > kMaxSide) {
        return kParamErr;
    }
    Channels channels;
    if (Status status = toChannels(bitmap, 3, channels); status != kNoErr) {
        return status;
    }
    // stb's quality runs 1..100.
    int clamped = quality < kQualityMin ? kQualityMin : quality > kQualityMax ? kQualityMax : quality;
    int stbQuality = 1 + clamped * 99 / kQualityMax;
    ByteWriter w;
    if (!stbi_write_jpg_to_func(appendToWriter, &w, bitmap.width(), bitmap.height(), 3, channels.pixels.get(),
                                stbQuality) ||
        !w.ok() || w.size() < kJfifUnits + 5) {
        return kOutOfMemory;
    }
    uint8_t* jfif = w.data();
    jfif[kJfifUnits] = kJfifDotsPerInch;
    int h = wholeDpi(bitmap.horizontalResolution());
    int v = wholeDpi(bitmap.verticalResolution());
    jfif[kJfifUnits + 1] = static_cast<uint8_t>(h >> 8);
    jfif[kJfifUnits + 2] = static_cast<uint8_t>(h);
    jfif[kJfifUnits + 3] = static_cast<uint8_t>(v >> 8);
    jfif[kJfifUnits + 4] = static_cast<uint8_t>(v);
    out = std::move(w);
    return kNoErr;
}

Status writePng(const Bitmap& bitmap, ByteWriter& out) {
    if (bitmap.empty() || bitmap.width() > kMaxSide || bitmap.height() > kMaxSide) {
        return kParamErr;
    }
    int count = bitmap.depth() == kDepthGrey8 ? 1 : bitmap.hasAlpha() ? 4 : 3;
    Channels channels;
    if (Status status = toChannels(bitmap, count, channels); status != kNoErr) {
        return status;
    }
    ByteWriter w;
    if (!stbi_write_png_to_func(appendToWriter, &w, bitmap.width(), bitmap.height(), count, channels.pixels.get(),
                                bitmap.width() * count) ||
        !w.ok()) {
        return kOutOfMemory;
    }
    const bool defaultResolution =
        bitmap.horizontalResolution() == kDefaultResolution && bitmap.verticalResolution() == kDefaultResolution;
    if (defaultResolution) {
        out = std::move(w);
        return kNoErr;
    }
    // pHYs goes right after the signature and IHDR (8 + 25 bytes).
    constexpr size_t kAfterHeader = 8 + 25;
    ByteWriter chunk;
    chunk.putBytes("pHYs", 4);
    chunk.put32be(static_cast<uint32_t>(pixelsPerMetre(bitmap.horizontalResolution())));
    chunk.put32be(static_cast<uint32_t>(pixelsPerMetre(bitmap.verticalResolution())));
    chunk.put8(1);  // the unit is the metre
    ByteWriter withPhys;
    withPhys.putBytes(w.data(), kAfterHeader);
    withPhys.put32be(9);
    withPhys.putBytes(chunk.data(), chunk.size());
    withPhys.put32be(crc32(chunk.data(), chunk.size()));
    withPhys.putBytes(w.data() + kAfterHeader, w.size() - kAfterHeader);
    if (!chunk.ok() || !withPhys.ok()) {
        return kOutOfMemory;
    }
    out = std::move(withPhys);
    return kNoErr;
}

}  // namespace korvane::media
