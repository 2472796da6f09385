#include <gtest/gtest.h>

#include "tests/media/test_images.h"

#include <cstring>
#include <sstream>

namespace korvane::media::testing {

namespace {

uint32_t mix(int32_t x, int32_t y, uint32_t salt) {
    uint32_t v = static_cast<uint32_t>(x) * 0x9E3779B1u ^ static_cast<uint32_t>(y) * 0x85EBCA77u ^ salt;
    v ^= v >> 15;
    v *= 0x2C1B3C6Du;
    v ^= v >> 12;
    return v;
}

void put16le(Bytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void put16be(Bytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}

void put32be(Bytes& b, uint32_t v) {
    put16be(b, static_cast<uint16_t>(v >> 16));
    put16be(b, static_cast<uint16_t>(v));
}

}  // namespace

Bitmap makePattern(int32_t width, int32_t height, int depth, bool withAlpha, int paletteSize) {
    Bitmap b;
    EXPECT_EQ(b.create(width, height, depth), kNoErr);
    b.setHasAlpha(withAlpha);
    int bits = bitsPerPixel(depth);
    if (isIndexedDepth(depth) && !isGreyDepth(depth)) {
        int count = paletteSize ? paletteSize : 1 << bits;
        std::vector<Rgb> palette(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            uint32_t v = mix(i, count, 7);
            palette[static_cast<size_t>(i)] =
                Rgb{static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16)};
        }
        EXPECT_EQ(b.setPalette(palette), kNoErr);
    }
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            // The left third is one colour, so packing finds runs; the rest varies.
            uint32_t v = x < width / 3 ? 0x5A3C96u : mix(x, y, static_cast<uint32_t>(depth));
            if (isIndexedDepth(depth)) {
                uint32_t limit =
                    isGreyDepth(depth) || paletteSize == 0 ? 1u << bits : static_cast<uint32_t>(paletteSize);
                b.setIndex(x, y, v % limit);
            } else {
                b.setPixel(x, y,
                           Rgba{static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                                static_cast<uint8_t>(withAlpha ? (v >> 24) | 1 : 255)});
            }
        }
    }
    return b;
}

::testing::AssertionResult samePixels(const Bitmap& expected, const Bitmap& actual) {
    if (actual.empty() || expected.width() != actual.width() || expected.height() != actual.height()) {
        return ::testing::AssertionFailure() << "size " << actual.width() << "x" << actual.height() << ", expected "
                                             << expected.width() << "x" << expected.height();
    }
    for (int32_t y = 0; y < expected.height(); ++y) {
        for (int32_t x = 0; x < expected.width(); ++x) {
            Rgba e = expected.pixel(x, y);
            Rgba a = actual.pixel(x, y);
            if (e != a) {
                return ::testing::AssertionFailure()
                       << "pixel (" << x << "," << y << ") is " << int{a.red} << "," << int{a.green} << ","
                       << int{a.blue} << "," << int{a.alpha} << ", expected " << int{e.red} << "," << int{e.green}
                       << "," << int{e.blue} << "," << int{e.alpha};
            }
        }
    }
    return ::testing::AssertionSuccess();
}

Bytes toBytes(const ByteWriter& writer) {
    return Bytes(writer.data(), writer.data() + writer.size());
}

// ---- TGA ----

namespace {

Bytes tgaPixel(const Bitmap& src, const TgaLayout& layout, int32_t x, int32_t y) {
    Bytes p;
    uint8_t base = layout.type > 8 ? static_cast<uint8_t>(layout.type - 8) : layout.type;
    Rgba c = src.pixel(x, y);
    if (base == 1 || (base == 3 && layout.bits == 8)) {
        p.push_back(static_cast<uint8_t>(src.index(x, y)));
    } else if (base == 3) {
        p = {c.red, c.alpha};
    } else if (layout.bits <= 16) {
        // The attribute bit is set: the reader must drop it.
        put16le(p, static_cast<uint16_t>(0x8000 | packRgb555(Rgb{c.red, c.green, c.blue})));
    } else {
        p = {c.blue, c.green, c.red};
        if (layout.bits == 32) {
            p.push_back(c.alpha);
        }
    }
    return p;
}

}  // namespace

Bytes writeTga(const Bitmap& src, const TgaLayout& layout) {
    uint8_t base = layout.type > 8 ? static_cast<uint8_t>(layout.type - 8) : layout.type;
    bool mapped = base == 1;
    Bytes out;
    const std::string id = "korvane test";
    out.push_back(static_cast<uint8_t>(id.size()));
    out.push_back(mapped ? 1 : 0);
    out.push_back(layout.type);
    auto palette = src.palette();
    put16le(out, 0);
    put16le(out, mapped ? static_cast<uint16_t>(palette.size()) : 0);
    out.push_back(mapped ? layout.mapBits : 0);
    put16le(out, 0);
    put16le(out, 0);
    put16le(out, static_cast<uint16_t>(src.width()));
    put16le(out, static_cast<uint16_t>(src.height()));
    out.push_back(layout.bits);
    out.push_back(static_cast<uint8_t>((layout.topDown ? 0x20 : 0) | (layout.rightToLeft ? 0x10 : 0) |
                                       (layout.bits == 32 ? 8 : 0)));
    out.insert(out.end(), id.begin(), id.end());
    if (mapped) {
        for (const Rgb& c : palette) {
            if (layout.mapBits <= 16) {
                put16le(out, packRgb555(c));
            } else {
                out.insert(out.end(), {c.blue, c.green, c.red});
                if (layout.mapBits == 32) {
                    out.push_back(255);
                }
            }
        }
    }
    // Pixels in file order: a linear stream, so runs cross rows.
    std::vector<Bytes> stream;
    for (int32_t fy = 0; fy < src.height(); ++fy) {
        int32_t y = layout.topDown ? fy : src.height() - 1 - fy;
        for (int32_t fx = 0; fx < src.width(); ++fx) {
            int32_t x = layout.rightToLeft ? src.width() - 1 - fx : fx;
            stream.push_back(tgaPixel(src, layout, x, y));
        }
    }
    if (layout.type < 8) {
        for (const Bytes& p : stream) {
            out.insert(out.end(), p.begin(), p.end());
        }
        return out;
    }
    size_t i = 0;
    while (i < stream.size()) {
        size_t run = 1;
        while (i + run < stream.size() && run < 128 && stream[i + run] == stream[i]) {
            ++run;
        }
        if (run > 1) {
            out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
            out.insert(out.end(), stream[i].begin(), stream[i].end());
            i += run;
            continue;
        }
        size_t count = 1;
        while (i + count < stream.size() && count < 128 && stream[i + count] != stream[i + count - 1]) {
            ++count;
        }
        out.push_back(static_cast<uint8_t>(count - 1));
        for (size_t k = 0; k < count; ++k) {
            out.insert(out.end(), stream[i + k].begin(), stream[i + k].end());
        }
        i += count;
    }
    return out;
}

// ---- SGI ----

namespace {

uint8_t sgiValue(const Bitmap& src, int channels, int channel, int32_t x, int32_t y) {
    if (channels == 1) {
        return static_cast<uint8_t>(src.index(x, y));
    }
    Rgba c = src.pixel(x, y);
    if (channels == 2) {
        return channel == 0 ? c.red : c.alpha;
    }
    const uint8_t values[4] = {c.red, c.green, c.blue, c.alpha};
    return values[channel];
}

void putSgiUnit(Bytes& out, uint8_t v, int bpc) {
    if (bpc == 2) {
        put16be(out, static_cast<uint16_t>(v * 257));
    } else {
        out.push_back(v);
    }
}

Bytes sgiRleRow(const std::vector<uint8_t>& values, int bpc) {
    Bytes out;
    size_t i = 0;
    auto flag = [&](uint8_t f) {
        if (bpc == 2) {
            out.push_back(0);
        }
        out.push_back(f);
    };
    while (i < values.size()) {
        size_t run = 1;
        while (i + run < values.size() && run < 127 && values[i + run] == values[i]) {
            ++run;
        }
        if (run >= 3) {
            flag(static_cast<uint8_t>(run));
            putSgiUnit(out, values[i], bpc);
            i += run;
            continue;
        }
        size_t count = 0;
        while (i + count < values.size() && count < 127 &&
               !(i + count + 2 < values.size() && values[i + count] == values[i + count + 1] &&
                 values[i + count] == values[i + count + 2])) {
            ++count;
        }
        flag(static_cast<uint8_t>(0x80 | count));
        for (size_t k = 0; k < count; ++k) {
            putSgiUnit(out, values[i + k], bpc);
        }
        i += count;
    }
    flag(0);
    return out;
}

}  // namespace

Bytes writeSgi(const Bitmap& src, const SgiLayout& layout) {
    Bytes out;
    put16be(out, 474);
    out.push_back(layout.rle ? 1 : 0);
    out.push_back(static_cast<uint8_t>(layout.bytesPerChannel));
    put16be(out, layout.channels == 1 ? 2 : 3);
    put16be(out, static_cast<uint16_t>(src.width()));
    put16be(out, static_cast<uint16_t>(src.height()));
    put16be(out, static_cast<uint16_t>(layout.channels));
    put32be(out, 0);
    put32be(out, 255);
    out.resize(512, 0);
    std::vector<Bytes> rows;
    for (int c = 0; c < layout.channels; ++c) {
        for (int32_t row = 0; row < src.height(); ++row) {
            int32_t y = src.height() - 1 - row;
            std::vector<uint8_t> values;
            for (int32_t x = 0; x < src.width(); ++x) {
                values.push_back(sgiValue(src, layout.channels, c, x, y));
            }
            if (layout.rle) {
                rows.push_back(sgiRleRow(values, layout.bytesPerChannel));
            } else {
                Bytes raw;
                for (uint8_t v : values) {
                    putSgiUnit(raw, v, layout.bytesPerChannel);
                }
                rows.push_back(raw);
            }
        }
    }
    if (!layout.rle) {
        for (const Bytes& r : rows) {
            out.insert(out.end(), r.begin(), r.end());
        }
        return out;
    }
    size_t offset = 512 + rows.size() * 8;
    for (const Bytes& r : rows) {
        put32be(out, static_cast<uint32_t>(offset));
        offset += r.size();
    }
    for (const Bytes& r : rows) {
        put32be(out, static_cast<uint32_t>(r.size()));
    }
    for (const Bytes& r : rows) {
        out.insert(out.end(), r.begin(), r.end());
    }
    return out;
}

// ---- Pictures ----

PictBuilder::PictBuilder(int version, int16_t top, int16_t left, int16_t bottom, int16_t right) : version_(version) {
    u16(0);
    rect(top, left, bottom, right);
    if (version == 1) {
        u8(0x11).u8(0x01);
    } else {
        u16(0x0011).u16(0x02FF).u16(0x0C00).u16(0xFFFE).u16(0).u32(72u << 16).u32(72u << 16);
        rect(top, left, bottom, right).u32(0);
    }
}

PictBuilder& PictBuilder::u8(uint8_t v) {
    data_.push_back(v);
    return *this;
}
PictBuilder& PictBuilder::u16(uint16_t v) {
    put16be(data_, v);
    return *this;
}
PictBuilder& PictBuilder::u32(uint32_t v) {
    put32be(data_, v);
    return *this;
}
PictBuilder& PictBuilder::rect(int16_t top, int16_t left, int16_t bottom, int16_t right) {
    return u16(static_cast<uint16_t>(top))
        .u16(static_cast<uint16_t>(left))
        .u16(static_cast<uint16_t>(bottom))
        .u16(static_cast<uint16_t>(right));
}
PictBuilder& PictBuilder::bytes(const Bytes& b) {
    data_.insert(data_.end(), b.begin(), b.end());
    return *this;
}
PictBuilder& PictBuilder::op(uint16_t opcode) {
    if (version_ == 1) {
        return u8(static_cast<uint8_t>(opcode));
    }
    if (data_.size() & 1) {
        u8(0);
    }
    return u16(opcode);
}
PictBuilder& PictBuilder::rectRegion(int16_t top, int16_t left, int16_t bottom, int16_t right) {
    return u16(10).rect(top, left, bottom, right);
}
Bytes PictBuilder::end() {
    op(0x00FF);
    return data_;
}

Bytes pixMapTail(uint16_t packType, uint16_t pixelSize, uint16_t cmpCount, uint16_t pixelType) {
    Bytes b;
    put16be(b, 0);
    put16be(b, packType);
    put32be(b, 0);
    put32be(b, 72u << 16);
    put32be(b, 72u << 16);
    put16be(b, pixelType);
    put16be(b, pixelSize);
    put16be(b, cmpCount);
    put16be(b, pixelSize == 16 ? 5 : pixelSize == 32 ? 8 : pixelSize);
    put32be(b, 0);
    put32be(b, 0);
    put32be(b, 0);
    return b;
}

// ---- Image file headers, hand-made ----

namespace {

void pngChunk(Bytes& b, const char* type, const Bytes& body) {
    put32be(b, static_cast<uint32_t>(body.size()));
    b.insert(b.end(), type, type + 4);
    b.insert(b.end(), body.begin(), body.end());
    put32be(b, 0);  // CRC: not checked by the probe
}

}  // namespace

Bytes jpegHeader(uint8_t units, uint16_t x, uint16_t y, uint16_t width, uint16_t height, uint8_t components) {
    Bytes b = {0xFF, 0xD8, 0xFF, 0xE0};
    put16be(b, 16);
    for (char c : {'J', 'F', 'I', 'F', '\0'}) {
        b.push_back(static_cast<uint8_t>(c));
    }
    b.insert(b.end(), {1, 2, units});
    put16be(b, x);
    put16be(b, y);
    b.insert(b.end(), {0, 0});
    b.insert(b.end(), {0xFF, 0xFF, 0xC0});  // a fill byte before the marker
    put16be(b, static_cast<uint16_t>(8 + 3 * components));
    b.push_back(8);
    put16be(b, height);
    put16be(b, width);
    b.push_back(components);
    for (int i = 0; i < components; ++i) {
        b.insert(b.end(), {static_cast<uint8_t>(i + 1), 0x11, 0});
    }
    b.insert(b.end(), {0xFF, 0xDA, 0, 2, 0xFF, 0xD9});
    return b;
}

Bytes pngHeader(uint8_t bits, uint8_t colourType, const std::vector<std::pair<const char*, Bytes>>& extra) {
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    put32be(header, 300);
    put32be(header, 200);
    header.insert(header.end(), {bits, colourType, 0, 0, 0});
    pngChunk(b, "IHDR", header);
    for (const auto& [type, body] : extra) {
        pngChunk(b, type, body);
    }
    pngChunk(b, "IDAT", {1, 2, 3});
    pngChunk(b, "IEND", {});
    return b;
}

Bytes pngPhys(uint32_t x, uint32_t y) {
    Bytes b;
    put32be(b, x);
    put32be(b, y);
    b.push_back(1);
    return b;
}

Bytes photoshopRunLength() {
    Bytes psd = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 3, 0, 8, 0, 3};
    psd.insert(psd.end(), {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});  // empty sections, RLE
    for (int i = 0; i < 6; ++i) {
        psd.insert(psd.end(), {0, static_cast<uint8_t>(i % 2 == 0 ? 2 : 4)});
    }
    for (int plane = 0; plane < 3; ++plane) {
        auto v = static_cast<uint8_t>(10 * (plane + 1));
        psd.insert(psd.end(), {0xFE, v});
        psd.insert(psd.end(), {2, v, static_cast<uint8_t>(v + 1), static_cast<uint8_t>(v + 2)});
    }
    return psd;
}

}  // namespace korvane::media::testing
