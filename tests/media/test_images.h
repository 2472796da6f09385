#pragma once
// Test images made by the tests: pattern bitmaps at every depth, writers of TGA and SGI files,
// and a builder for hand-made pictures.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/media/bitmap.h"
#include "platform/media/byte_io.h"

namespace korvane::media::testing {

using Bytes = std::vector<uint8_t>;

// A bitmap with runs and varied pixels; indexed depths get a palette of distinct colours
// (paletteSize 0: the full 2^bits). A 32-bit bitmap has varied alpha when withAlpha.
Bitmap makePattern(int32_t width, int32_t height, int depth, bool withAlpha = false, int paletteSize = 0);

// Pixel-for-pixel comparison through Bitmap::pixel; the message names the first difference.
::testing::AssertionResult samePixels(const Bitmap& expected, const Bitmap& actual);

Bytes toBytes(const ByteWriter& writer);

struct TgaLayout {
    uint8_t type;  // 1, 2, 3, 9, 10, 11
    uint8_t bits;  // pixel bits
    bool topDown = false;
    bool rightToLeft = false;
    uint8_t mapBits = 24;  // colour map entry bits for types 1 and 9
};
// Encodes src (depth 8 for colour-mapped, 40 or 32 for grey, 16/24/32 for true colour).
Bytes writeTga(const Bitmap& src, const TgaLayout& layout);

struct SgiLayout {
    bool rle;
    int channels;  // 1 from depth 40, 2 from grey 32 with alpha, 3 from 24, 4 from 32
    int bytesPerChannel = 1;
};
Bytes writeSgi(const Bitmap& src, const SgiLayout& layout);

// Big-endian builder for hand-made pictures.
class PictBuilder {
  public:
    // Size word, frame and version opcode (and for version 2 an extended header at 72 dpi).
    PictBuilder(int version, int16_t top, int16_t left, int16_t bottom, int16_t right);

    PictBuilder& u8(uint8_t v);
    PictBuilder& u16(uint16_t v);
    PictBuilder& u32(uint32_t v);
    PictBuilder& rect(int16_t top, int16_t left, int16_t bottom, int16_t right);
    PictBuilder& bytes(const Bytes& b);
    // An opcode: 1 byte in version 1; in version 2 aligned to a word and 2 bytes.
    PictBuilder& op(uint16_t opcode);
    PictBuilder& rectRegion(int16_t top, int16_t left, int16_t bottom, int16_t right);
    // Ends the picture and returns it.
    Bytes end();
    const Bytes& data() const { return data_; }

  private:
    int version_;
    Bytes data_;
};

// Pixel map fields after rowBytes and bounds (36 bytes) for a given pixel size and packing.
Bytes pixMapTail(uint16_t packType, uint16_t pixelSize, uint16_t cmpCount, uint16_t pixelType);

// A JPEG file's header up to the start of its scan: JFIF density (units 0 aspect only, 1 per
// inch, 2 per centimetre), then a baseline frame of the size and component count given.
Bytes jpegHeader(uint8_t units, uint16_t x, uint16_t y, uint16_t width, uint16_t height, uint8_t components);
// A 300 x 200 PNG of the bit depth and colour type given, with the chunks `extra` between its
// header and its (token) image data.
Bytes pngHeader(uint8_t bits, uint8_t colourType, const std::vector<std::pair<const char*, Bytes>>& extra);
// A 3 x 2 RGB Photoshop image whose planes are run-length encoded: in each plane's rows a
// run of three of 10, 20 or 30, then the literals of that value plus 0, 1, 2.
Bytes photoshopRunLength();

// A pHYs chunk's body: pixels per metre across and down.
Bytes pngPhys(uint32_t x, uint32_t y);

}  // namespace korvane::media::testing
