#include "platform/media/sgi.h"

#include <cstring>
#include <memory>

#include "platform/media/byte_io.h"

namespace korvane::media {

namespace {

constexpr uint16_t kMagic = 474;
constexpr size_t kHeaderSize = 512;
constexpr uint8_t kStorageVerbatim = 0;
constexpr uint8_t kStorageRle = 1;
constexpr uint32_t kColorMapNormal = 0;
constexpr size_t kColorMapFieldOffset = 104;
constexpr uint16_t kMaxChannels = 4;
constexpr uint8_t kRunCountMask = 0x7F;
constexpr uint8_t kLiteralFlag = 0x80;

struct SgiHeader {
    uint8_t storage;
    uint8_t bytesPerChannel;
    int32_t width;
    int32_t height;
    uint16_t channels;
    int depth;
};

Status parseHeader(const uint8_t* data, size_t size, SgiHeader& h) {
    if (!data) {
        return kParamErr;
    }
    ByteReader r(data, size);
    uint16_t magic = r.u16be();
    h.storage = r.u8();
    h.bytesPerChannel = r.u8();
    uint16_t dimension = r.u16be();
    h.width = r.u16be();
    h.height = r.u16be();
    h.channels = r.u16be();
    r.seek(kColorMapFieldOffset);
    uint32_t colorMap = r.u32be();
    if (!r.ok() || size < kHeaderSize || magic != kMagic || colorMap != kColorMapNormal) {
        return kBadPictureData;
    }
    if (dimension == 1) {
        h.height = 1;
    }
    if (dimension <= 2) {
        h.channels = 1;
    }
    if ((h.storage != kStorageVerbatim && h.storage != kStorageRle) ||
        (h.bytesPerChannel != 1 && h.bytesPerChannel != 2) || dimension < 1 || dimension > 3 || h.width == 0 ||
        h.height == 0 || h.channels == 0 || h.channels > kMaxChannels) {
        return kBadPictureData;
    }
    static constexpr int kDepths[kMaxChannels + 1] = {0, kDepthGrey8, kDepth32, kDepth24, kDepth32};
    h.depth = kDepths[h.channels];
    // The least data the rows can take (all of them verbatim, or the two row tables), so
    // that a header claiming more than the file holds fails before any allocation.
    uint64_t rows = static_cast<uint64_t>(h.height) * h.channels;
    uint64_t least = h.storage == kStorageVerbatim ? rows * static_cast<uint64_t>(h.width) * h.bytesPerChannel
                                                   : rows * 2 * sizeof(uint32_t);
    return least <= size - kHeaderSize ? kNoErr : kBadPictureData;
}

// Expands one run-length row of units (bytes or big-endian words) into width high bytes.
// A long row is cut; a short one (its data ends early) fails.
bool expandRow(const uint8_t* in, size_t inSize, unsigned unit, uint8_t* out, size_t width) {
    size_t i = 0;
    size_t o = 0;
    while (i + unit <= inSize && o < width) {
        uint8_t flag = in[i + unit - 1];  // the count sits in the low byte of the unit
        i += unit;
        size_t count = flag & kRunCountMask;
        if (count == 0) {
            break;
        }
        if (flag & kLiteralFlag) {
            for (; count > 0 && i + unit <= inSize && o < width; --count, i += unit) {
                out[o++] = in[i];
            }
        } else {
            if (i + unit > inSize) {
                break;
            }
            uint8_t value = in[i];
            i += unit;
            for (; count > 0 && o < width; --count) {
                out[o++] = value;
            }
        }
    }
    return o == width;
}

// Puts one channel row into the bitmap row at y.
void storeChannel(const SgiHeader& h, Bitmap& out, int32_t y, uint16_t channel, const uint8_t* values) {
    uint8_t* row = out.row(y);
    switch (h.channels) {
        case 1:
            std::memcpy(row, values, static_cast<size_t>(h.width));
            break;
        case 2:
            for (int32_t x = 0; x < h.width; ++x) {
                if (channel == 0) {
                    row[4 * x] = row[4 * x + 1] = row[4 * x + 2] = values[x];
                } else {
                    row[4 * x + 3] = values[x];
                }
            }
            break;
        default: {
            // Red, green, blue, alpha into blue, green, red, alpha order.
            static constexpr int kOffsets[kMaxChannels] = {2, 1, 0, 3};
            size_t step = h.channels == 3 ? 3 : 4;
            for (int32_t x = 0; x < h.width; ++x) {
                row[step * static_cast<size_t>(x) + kOffsets[channel]] = values[x];
            }
            break;
        }
    }
}

Status readRows(const SgiHeader& h, const uint8_t* data, size_t size, Bitmap& out) {
    auto width = static_cast<size_t>(h.width);
    std::unique_ptr<uint8_t, FreeDeleter> values(static_cast<uint8_t*>(std::malloc(width)));
    if (!values) {
        return kOutOfMemory;
    }
    size_t rows = static_cast<size_t>(h.height) * h.channels;
    size_t rowBytes = width * h.bytesPerChannel;
    for (size_t n = 0; n < rows; ++n) {
        auto y = static_cast<int32_t>(n % static_cast<size_t>(h.height));
        auto channel = static_cast<uint16_t>(n / static_cast<size_t>(h.height));
        if (h.storage == kStorageVerbatim) {
            if ((uint64_t{n} + 1) * rowBytes > size - kHeaderSize) {
                return kBadPictureData;
            }
            const uint8_t* in = data + kHeaderSize + n * rowBytes;
            for (size_t x = 0; x < width; ++x) {
                values.get()[x] = in[x * h.bytesPerChannel];
            }
        } else {
            // Offset table, then length table, each one entry a row of each channel.
            ByteReader entry(data, size);
            entry.seek(kHeaderSize + n * 4);
            uint32_t offset = entry.u32be();
            entry.seek(kHeaderSize + (rows + n) * 4);
            uint32_t length = entry.u32be();
            if (!entry.ok() || offset > size || length > size - offset) {
                return kBadPictureData;
            }
            if (!expandRow(data + offset, length, h.bytesPerChannel, values.get(), width)) {
                return kBadPictureData;
            }
        }
        storeChannel(h, out, h.height - 1 - y, channel, values.get());
    }
    return kNoErr;
}

}  // namespace

Status readSgiHeader(const uint8_t* data, size_t size, ImageHeader& header) {
    SgiHeader h{};
    Status status = parseHeader(data, size, h);
    if (status == kNoErr) {
        header = ImageHeader{h.width, h.height, h.depth, kDefaultResolution, kDefaultResolution};
    }
    return status;
}

Status readSgi(const uint8_t* data, size_t size, size_t maxBytes, Bitmap& out) {
    out.reset();
    SgiHeader h{};
    Status status = parseHeader(data, size, h);
    if (status != kNoErr) {
        return status;
    }
    if ((status = out.create(h.width, h.height, h.depth, maxBytes)) != kNoErr) {
        return status;
    }
    out.setHasAlpha(h.channels == 2 || h.channels == 4);
    if ((status = readRows(h, data, size, out)) != kNoErr) {
        out.reset();
        return status;
    }
    out.dropEmptyAlpha();
    return kNoErr;
}

}  // namespace korvane::media

namespace korvane::media {

Status writeSgi(const Bitmap& bitmap, ByteWriter& out) {
    if (bitmap.empty() || bitmap.width() > UINT16_MAX || bitmap.height() > UINT16_MAX) {
        return kParamErr;
    }
    const bool grey = bitmap.depth() == kDepthGrey8;
    const bool alpha = !grey && bitmap.hasAlpha();
    const uint16_t channels = grey ? 1 : alpha ? 4 : 3;
    constexpr uint16_t kDimensionsPlanes = 3;
    ByteWriter w;
    w.put16be(kMagic);
    w.put8(kStorageVerbatim);
    w.put8(1);  // one byte a channel
    w.put16be(kDimensionsPlanes);
    w.put16be(static_cast<uint16_t>(bitmap.width()));
    w.put16be(static_cast<uint16_t>(bitmap.height()));
    w.put16be(channels);
    w.put32be(0);    // smallest pixel value
    w.put32be(255);  // largest
    w.putZeros(kColorMapFieldOffset - w.size());
    w.put32be(kColorMapNormal);
    w.putZeros(kHeaderSize - w.size());
    const size_t pixels = static_cast<size_t>(bitmap.width()) * static_cast<size_t>(bitmap.height());
    if (!w.reserve(pixels * channels)) {
        return kOutOfMemory;
    }
    // Planes one after another, each with its rows bottom-up.
    for (uint16_t channel = 0; channel < channels; ++channel) {
        for (int32_t y = bitmap.height() - 1; y >= 0; --y) {
            for (int32_t x = 0; x < bitmap.width(); ++x) {
                w.put8(planeValue(bitmap.pixel(x, y), channel));
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
