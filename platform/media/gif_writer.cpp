// GIF files of one image, LZW-coded.

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "platform/media/image_writers.h"

namespace korvane::media {

namespace {

constexpr int32_t kMaxSide = UINT16_MAX;
constexpr int kMaxCodeBits = 12;
constexpr int kMaxCodes = 1 << kMaxCodeBits;
constexpr size_t kMaxSubBlock = 255;
// The colour cube for images of more than 256 colours: 6 reds, 7 greens, 6 blues.
constexpr int kCubeRed = 6;
constexpr int kCubeGreen = 7;
constexpr int kCubeBlue = 6;

// Packs codes least significant bit first into sub-blocks of at most 255 bytes.
class CodeWriter {
  public:
    explicit CodeWriter(ByteWriter& out) : out_(out) {}
    void put(int code, int bits) {
        accumulator_ |= static_cast<uint32_t>(code) << used_;
        used_ += bits;
        while (used_ >= 8) {
            byte(static_cast<uint8_t>(accumulator_));
            accumulator_ >>= 8;
            used_ -= 8;
        }
    }
    void finish() {
        if (used_ > 0) {
            byte(static_cast<uint8_t>(accumulator_));
        }
        flushBlock();
        out_.put8(0);  // block terminator
    }

  private:
    void byte(uint8_t b) {
        block_[blockSize_++] = b;
        if (blockSize_ == kMaxSubBlock) {
            flushBlock();
        }
    }
    void flushBlock() {
        if (blockSize_ > 0) {
            out_.put8(static_cast<uint8_t>(blockSize_));
            out_.putBytes(block_, blockSize_);
            blockSize_ = 0;
        }
    }
    ByteWriter& out_;
    uint32_t accumulator_ = 0;
    int used_ = 0;
    uint8_t block_[kMaxSubBlock];
    size_t blockSize_ = 0;
};

// LZW over the indices with a dictionary of (prefix code, next index) pairs in a hash table.
Status compress(const uint8_t* indices, size_t count, int minCodeBits, ByteWriter& out) {
    constexpr int kTableSize = 5003;  // a prime above 4096
    std::unique_ptr<int32_t[]> keys(new (std::nothrow) int32_t[kTableSize]);
    std::unique_ptr<int16_t[]> codes(new (std::nothrow) int16_t[kTableSize]);
    if (!keys || !codes) {
        return kOutOfMemory;
    }
    const int clear = 1 << minCodeBits;
    const int end = clear + 1;
    out.put8(static_cast<uint8_t>(minCodeBits));
    CodeWriter writer(out);
    int codeBits = minCodeBits + 1;
    int next = end + 1;
    auto reset = [&] {
        std::fill(keys.get(), keys.get() + kTableSize, -1);
        codeBits = minCodeBits + 1;
        next = end + 1;
    };
    reset();
    writer.put(clear, codeBits);
    int prefix = indices[0];
    for (size_t i = 1; i < count; ++i) {
        const int symbol = indices[i];
        const int32_t key = prefix << 8 | symbol;
        int slot = static_cast<int>(static_cast<uint32_t>(key) % kTableSize);
        while (keys[slot] != -1 && keys[slot] != key) {
            slot = (slot + 1) % kTableSize;
        }
        if (keys[slot] == key) {
            prefix = codes[slot];
            continue;
        }
        writer.put(prefix, codeBits);
        if (next < kMaxCodes) {
            keys[slot] = key;
            codes[slot] = static_cast<int16_t>(next);
            // The decoder widens its codes one code later than we add them.
            if (next == 1 << codeBits && codeBits < kMaxCodeBits) {
                ++codeBits;
            }
            ++next;
        } else {
            writer.put(clear, codeBits);
            reset();
        }
        prefix = symbol;
    }
    writer.put(prefix, codeBits);
    writer.put(end, codeBits);
    writer.finish();
    return out.ok() ? kNoErr : kOutOfMemory;
}

struct Indexed {
    std::unique_ptr<uint8_t, FreeDeleter> indices;
    Rgb palette[kMaxPaletteSize];
    int paletteSize = 0;
    int transparent = -1;
};

int findOrAdd(Indexed& image, Rgb c) {
    for (int i = 0; i < image.paletteSize; ++i) {
        if (image.palette[i] == c) {
            return i;
        }
    }
    if (image.paletteSize == kMaxPaletteSize) {
        return -1;
    }
    image.palette[image.paletteSize] = c;
    return image.paletteSize++;
}

Status index(const Bitmap& bitmap, Indexed& image) {
    const size_t count = static_cast<size_t>(bitmap.width()) * static_cast<size_t>(bitmap.height());
    image.indices.reset(static_cast<uint8_t*>(std::malloc(count)));
    if (!image.indices) {
        return kOutOfMemory;
    }
    uint8_t* p = image.indices.get();
    if (isIndexedDepth(bitmap.depth())) {
        std::span<const Rgb> palette = bitmap.palette();
        image.paletteSize = palette.empty() ? 1 : static_cast<int>(palette.size());
        std::copy(palette.begin(), palette.end(), image.palette);
        for (int32_t y = 0; y < bitmap.height(); ++y) {
            for (int32_t x = 0; x < bitmap.width(); ++x) {
                uint32_t i = bitmap.index(x, y);
                *p++ = static_cast<uint8_t>(i < static_cast<uint32_t>(image.paletteSize) ? i : 0);
            }
        }
        return kNoErr;
    }
    // Exact colours while they fit; one entry kept back for transparency when there is alpha.
    const bool alpha = bitmap.hasAlpha();
    bool exact = true;
    if (alpha) {
        image.transparent = 0;
        image.palette[0] = Rgb{255, 255, 255};
        image.paletteSize = 1;
    }
    for (int32_t y = 0; y < bitmap.height() && exact; ++y) {
        for (int32_t x = 0; x < bitmap.width(); ++x) {
            Rgba c = bitmap.pixel(x, y);
            if (alpha && c.alpha < 128) {
                *p++ = 0;
                continue;
            }
            int i = findOrAdd(image, Rgb{c.red, c.green, c.blue});
            if (i < 0) {
                exact = false;
                break;
            }
            *p++ = static_cast<uint8_t>(i);
        }
    }
    if (exact) {
        return kNoErr;
    }
    // Too many colours: the cube, after the transparent entry when there is one.
    const int first = alpha ? 1 : 0;
    image.paletteSize = first + colourCubePalette(image.palette + first);
    p = image.indices.get();
    for (int32_t y = 0; y < bitmap.height(); ++y) {
        for (int32_t x = 0; x < bitmap.width(); ++x) {
            Rgba c = bitmap.pixel(x, y);
            *p++ =
                alpha && c.alpha < 128 ? 0 : static_cast<uint8_t>(first + colourCubeIndex(Rgb{c.red, c.green, c.blue}));
        }
    }
    return kNoErr;
}

}  // namespace

int colourCubePalette(Rgb* palette) {
    int size = 0;
    for (int r = 0; r < kCubeRed; ++r) {
        for (int g = 0; g < kCubeGreen; ++g) {
            for (int b = 0; b < kCubeBlue; ++b) {
                palette[size++] = Rgb{static_cast<uint8_t>(r * 255 / (kCubeRed - 1)),
                                      static_cast<uint8_t>(g * 255 / (kCubeGreen - 1)),
                                      static_cast<uint8_t>(b * 255 / (kCubeBlue - 1))};
            }
        }
    }
    return size;
}

uint8_t colourCubeIndex(Rgb c) {
    int r = (c.red * (kCubeRed - 1) + 127) / 255;
    int g = (c.green * (kCubeGreen - 1) + 127) / 255;
    int b = (c.blue * (kCubeBlue - 1) + 127) / 255;
    return static_cast<uint8_t>((r * kCubeGreen + g) * kCubeBlue + b);
}

Status writeGif(const Bitmap& bitmap, ByteWriter& out) {
    if (bitmap.empty() || bitmap.width() > kMaxSide || bitmap.height() > kMaxSide) {
        return kParamErr;
    }
    Indexed image;
    if (Status status = index(bitmap, image); status != kNoErr) {
        return status;
    }
    int tableBits = 1;
    while ((1 << tableBits) < image.paletteSize) {
        ++tableBits;
    }
    ByteWriter w;
    w.putBytes("GIF89a", 6);
    w.put16le(static_cast<uint16_t>(bitmap.width()));
    w.put16le(static_cast<uint16_t>(bitmap.height()));
    w.put8(static_cast<uint8_t>(0x80 | (tableBits - 1) << 4 | (tableBits - 1)));  // global table, its size
    w.put8(0);                                                                    // background colour
    w.put8(0);                                                                    // no aspect ratio
    for (int i = 0; i < 1 << tableBits; ++i) {
        Rgb c = i < image.paletteSize ? image.palette[i] : Rgb{};
        const uint8_t rgb[3] = {c.red, c.green, c.blue};
        w.putBytes(rgb, sizeof rgb);
    }
    if (image.transparent >= 0) {
        const uint8_t control[] = {0x21, 0xF9, 4, 1, 0, 0, static_cast<uint8_t>(image.transparent), 0};
        w.putBytes(control, sizeof control);
    }
    w.put8(0x2C);  // image descriptor
    w.put16le(0);
    w.put16le(0);
    w.put16le(static_cast<uint16_t>(bitmap.width()));
    w.put16le(static_cast<uint16_t>(bitmap.height()));
    w.put8(0);  // no local table, not interlaced
    const int minCodeBits = tableBits < 2 ? 2 : tableBits;
    const size_t count = static_cast<size_t>(bitmap.width()) * static_cast<size_t>(bitmap.height());
    if (Status status = compress(image.indices.get(), count, minCodeBits, w); status != kNoErr) {
        return status;
    }
    w.put8(0x3B);  // trailer
    if (!w.ok()) {
        return kOutOfMemory;
    }
    out = std::move(w);
    return kNoErr;
}

}  // namespace korvane::media
