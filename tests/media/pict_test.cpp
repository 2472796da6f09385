#include <gtest/gtest.h>

#include <cstring>

#include "platform/media/pict.h"
#include "tests/media/test_images.h"

namespace korvane::media {
namespace {

using testing::Bytes;
using testing::makePattern;
using testing::PictBuilder;
using testing::samePixels;

Bytes writeToBytes(const Bitmap& b) {
    ByteWriter w;
    EXPECT_EQ(writePict(b, w), kNoErr);
    return testing::toBytes(w);
}

Status decode(const Bytes& data, Bitmap& out, const PictReadOptions& options = {}) {
    return readPict(data.data(), data.size(), options, out);
}

struct RoundTrip {
    int depth;
    bool alpha;
    int paletteSize;
    int readDepth;
};

TEST(Pict, WrittenAndReadBackIsTheSameImageAtEveryDepth) {
    const RoundTrip rows[] = {
        {kDepth1, false, 0, kDepth1},         {kDepth2, false, 0, kDepth2},
        {kDepth4, false, 5, kDepth4},         {kDepth8, false, 0, kDepth8},
        {kDepth8, false, 3, kDepth8},         {kDepthGrey2, false, 0, kDepthGrey2},
        {kDepthGrey4, false, 0, kDepthGrey4}, {kDepthGrey8, false, 0, kDepthGrey8},
        {kDepth16, false, 0, kDepth16},       {kDepth24, false, 0, kDepth32},
        {kDepth32, false, 0, kDepth32},       {kDepth32, true, 0, kDepth32},
    };
    // 1 and 3 pixels wide: rows too short to pack; 300: rows with 2-byte counts.
    const int32_t sizes[][2] = {{1, 1}, {3, 2}, {37, 5}, {300, 4}};
    for (const RoundTrip& row : rows) {
        for (const auto& size : sizes) {
            SCOPED_TRACE(::testing::Message() << "depth " << row.depth << " alpha " << row.alpha << " palette "
                                              << row.paletteSize << " size " << size[0] << "x" << size[1]);
            Bitmap original = makePattern(size[0], size[1], row.depth, row.alpha, row.paletteSize);
            original.setResolution(300 * kFixedOne, 150 * kFixedOne);
            Bytes data = writeToBytes(original);

            PictInfo info;
            ASSERT_EQ(readPictInfo(data.data(), data.size(), info), kNoErr);
            EXPECT_EQ(info.version, 2);
            EXPECT_EQ(info.depth, row.readDepth);
            EXPECT_EQ(info.imageCount, 1);
            EXPECT_TRUE(info.singleImage);
            EXPECT_EQ(info.frame, (PictRect{0, 0, static_cast<int16_t>(size[1]), static_cast<int16_t>(size[0])}));

            Bitmap back;
            ASSERT_EQ(decode(data, back), kNoErr);
            EXPECT_EQ(back.depth(), row.readDepth);
            EXPECT_EQ(back.hasAlpha(), row.alpha);
            EXPECT_TRUE(samePixels(original, back));
            EXPECT_EQ(back.horizontalResolution(), kDefaultResolution) << "pictures are written at 72 dpi";
            EXPECT_EQ(back.verticalResolution(), kDefaultResolution);
            if (row.paletteSize) {
                EXPECT_EQ(back.palette().size(), static_cast<size_t>(row.paletteSize));
            }
        }
    }
}

TEST(Pict, ReadsPastAFileHeader) {
    Bitmap original = makePattern(20, 7, kDepth8);
    Bytes data = writeToBytes(original);
    data.insert(data.begin(), kPictFileHeaderSize, 0);
    PictInfo info;
    ASSERT_EQ(readPictInfo(data.data(), data.size(), info), kNoErr);
    EXPECT_EQ(info.dataOffset, kPictFileHeaderSize);
    Bitmap back;
    ASSERT_EQ(decode(data, back), kNoErr);
    EXPECT_TRUE(samePixels(original, back));
}

// A 300 dpi picture: its extended header names a 300x150 rectangle for a 72x36 frame. The
// one image is the picture whether it is placed over the rectangle or over the frame.
TEST(Pict, AnImageFillingTheFrameOfAnExtendedHeaderIsThePicture) {
    for (int16_t right : {300, 72}) {
        SCOPED_TRACE(right);
        Bytes data = {0,    0,    0, 0, 0,    0,    0, 36, 0, 72, 0x00, 0x11, 0x02, 0xFF, 0x0C, 0x00, 0xFF, 0xFE, 0, 0,
                      0x01, 0x2C, 0, 0, 0x01, 0x2C, 0, 0,  0, 0,  0,    0,    0,    150,  0x01, 0x2C, 0,    0,    0, 0};
        PictBuilder p(2, 0, 0, 0, 0);
        p.op(0x0001).rectRegion(0, 0, static_cast<int16_t>(right / 2), right);
        p.op(0x009A).u32(0xFF).u16(0x8000 | 8).rect(0, 0, 1, 2).bytes(testing::pixMapTail(1, 32, 3, 16));
        p.rect(0, 0, 1, 2).rect(0, 0, static_cast<int16_t>(right / 2), right).u16(0);
        p.u32(0x00FF0000).u32(0x0000FF00);
        Bytes body = p.end();
        data.insert(data.end(), body.begin() + 40, body.end());
        PictInfo info;
        ASSERT_EQ(readPictInfo(data.data(), data.size(), info), kNoErr);
        EXPECT_EQ(info.bounds, (PictRect{0, 0, 150, 300}));
        EXPECT_EQ(info.hRes, 300 * kFixedOne);
        EXPECT_TRUE(info.singleImage);
        Bitmap b;
        ASSERT_EQ(decode(data, b), kNoErr);
        EXPECT_EQ(b.width(), 2);
        EXPECT_EQ(b.pixel(1, 0), (Rgba{0, 255, 0, 255}));
    }
}

TEST(Pict, WriterRefusesWhatAPictureCannotHold) {
    ByteWriter w;
    EXPECT_EQ(writePict(Bitmap(), w), kParamErr);
    Bitmap wide;
    ASSERT_EQ(wide.create(32768, 1, kDepth1), kNoErr);
    EXPECT_EQ(writePict(wide, w), kParamErr);
}

// A version 1 picture: a 1-bit BitsRect among opcodes that are skipped by their lengths.
TEST(Pict, Version1BitMapAmongSkippedOpcodes) {
    PictBuilder p(1, 0, 0, 2, 10);
    p.op(0x01).rectRegion(0, 0, 2, 10);
    p.op(0x28).u32(0).u8(3).u8('a').u8('b').u8('c');  // long text
    p.op(0x30).rect(0, 0, 1, 1);                      // frame rect
    p.op(0xA0).u16(5);                                // short comment
    p.op(0xA1).u16(100).u16(3).u8(1).u8(2).u8(3);     // long comment
    p.op(0x90).u16(2).rect(0, 0, 2, 10).rect(0, 0, 2, 10).rect(0, 0, 2, 10).u16(0);
    p.u8(0b10100000).u8(0b01000000);  // row 0: x=0, 2 and 9 black
    p.u8(0b00000000).u8(0b00000000);
    Bytes data = p.end();
    data[11] = 0x01;  // picture version 1 as written above
    Bitmap b;
    ASSERT_EQ(decode(data, b), kNoErr);
    ASSERT_EQ(b.depth(), kDepth1);
    EXPECT_EQ(b.width(), 10);
    const Rgba black{0, 0, 0, 255};
    const Rgba white{255, 255, 255, 255};
    EXPECT_EQ(b.pixel(0, 0), black);
    EXPECT_EQ(b.pixel(1, 0), white);
    EXPECT_EQ(b.pixel(2, 0), black);
    EXPECT_EQ(b.pixel(9, 0), black);
    EXPECT_EQ(b.pixel(9, 1), white);
}

// Every kind of opcode length before one bitmap: the walk must land on the bitmap.
TEST(Pict, SkipsOpcodesOfEveryLengthKind) {
    PictBuilder p(2, 0, 0, 1, 2);
    p.op(0x0000);                                                           // nop
    p.op(0x001E);                                                           // def hilite
    p.op(0x001A).u16(1).u16(2).u16(3);                                      // RGB foreground
    p.op(0x0012).u16(2).u32(0).u32(0).u16(1).u16(2).u16(3);                 // dither pattern
    p.op(0x0013).u16(1).u32(0).u32(0);                                      // full pixel pattern:
    p.u16(0x8002).rect(0, 0, 2, 8).bytes(testing::pixMapTail(0, 2, 1, 0));  //   2-bit, rows of 2 bytes
    p.u32(0).u16(0).u16(1).u16(0).u16(0).u16(0).u16(0).u16(1).u16(0xFFFF).u16(0xFFFF).u16(0xFFFF);
    p.u16(0x1234).u16(0x5678);              //   unpacked rows
    p.op(0x0029).u8(4).u8(1).u8('x');       // DH text, odd length
    p.op(0x002C).u16(3).u8(1).u8(2).u8(3);  // font name
    p.op(0x0070).u16(10).rect(0, 0, 1, 1);  // polygon
    p.op(0x0081).u16(10).rect(0, 0, 1, 1);  // region
    p.op(0x00A1).u16(1).u16(1).u8(9);       // long comment
    p.op(0x0092).u16(2).u16(0);             // reserved, word length
    p.op(0x00B5);                           // reserved, no data
    p.op(0x00D3).u32(3).u8(1).u8(2).u8(3);  // reserved, long length
    p.op(0x0200).u32(0);                    // reserved, 2 x high byte
    p.op(0x8000);                           // reserved, no data
    p.op(0x8201).u32(4).u32(0);             // uncompressed QuickTime: skipped
    p.op(0x009A).u32(0xFF).u16(0x8000 | 8).rect(0, 0, 1, 2).bytes(testing::pixMapTail(1, 32, 3, 16));
    p.rect(0, 0, 1, 2).rect(0, 0, 1, 2).u16(0);
    p.u32(0x00FF0000).u32(0x000000FF);  // red, blue as xRGB
    Bitmap b;
    ASSERT_EQ(decode(p.end(), b), kNoErr);
    EXPECT_EQ(b.pixel(0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(b.pixel(1, 0), (Rgba{0, 0, 255, 255}));
}

Bytes directBits(uint16_t packType,
                 uint16_t pixelSize,
                 uint16_t cmpCount,
                 uint16_t rowBytes,
                 const Bytes& rows,
                 int16_t width) {
    PictBuilder p(2, 0, 0, 1, width);
    p.op(0x009A).u32(0xFF).u16(static_cast<uint16_t>(0x8000 | rowBytes)).rect(0, 0, 1, width);
    p.bytes(testing::pixMapTail(packType, pixelSize, cmpCount, 16));
    p.rect(0, 0, 1, width).rect(0, 0, 1, width).u16(0).bytes(rows);
    return p.end();
}

TEST(Pict, DirectPixelsOfEveryPackType) {
    struct Row {
        const char* name;
        Bytes picture;
        int depth;
        Rgba first;
        Rgba last;
    };
    Bytes xrgb;
    Bytes triples;
    Bytes planes;
    Bytes words;
    Bytes packedWords = {0, 9, 3};  // word byte count, one literal packet of 4 words
    for (int x = 0; x < 4; ++x) {
        xrgb.insert(xrgb.end(), {0, static_cast<uint8_t>(x * 60), 7, 9});
        triples.insert(triples.end(), {static_cast<uint8_t>(x * 60), 7, 9});
        for (Bytes* b : {&words, &packedWords}) {
            b->push_back(static_cast<uint8_t>(0x7C00 >> 8 | x));
            b->push_back(0x1F);
        }
    }
    // Components: alpha plane, then red, green, blue; one literal packet of 16 bytes. Short rows
    // of direct pixels count their bytes in one byte as the format is described, or in a word
    // as many writers have it; both read.
    planes = {0, 4 * 4 + 1, 15};
    planes.insert(planes.end(), {10, 20, 30, 40, 0, 60, 120, 180, 7, 7, 7, 7, 9, 9, 9, 9});
    Bytes planesByteCount(planes.begin() + 1, planes.end());
    Bytes packedWordsByteCount(packedWords.begin() + 1, packedWords.end());
    const Row rows[] = {
        {"32 unpacked", directBits(1, 32, 3, 16, xrgb, 4), kDepth32, {0, 7, 9, 255}, {180, 7, 9, 255}},
        {"32 without pad", directBits(2, 32, 3, 16, triples, 4), kDepth32, {0, 7, 9, 255}, {180, 7, 9, 255}},
        {"32 planes", directBits(4, 32, 4, 16, planes, 4), kDepth32, {0, 7, 9, 10}, {180, 7, 9, 40}},
        {"32 planes by default", directBits(0, 32, 4, 16, planes, 4), kDepth32, {0, 7, 9, 10}, {180, 7, 9, 40}},
        {"16 unpacked", directBits(1, 16, 3, 8, words, 4), kDepth16, {255, 0, 255, 255}, {255, 198, 255, 255}},
        {"16 words", directBits(3, 16, 3, 8, packedWords, 4), kDepth16, {255, 0, 255, 255}, {255, 198, 255, 255}},
        {"32 planes, byte count",
         directBits(4, 32, 4, 16, planesByteCount, 4),
         kDepth32,
         {0, 7, 9, 10},
         {180, 7, 9, 40}},
        {"16 words, byte count",
         directBits(3, 16, 3, 8, packedWordsByteCount, 4),
         kDepth16,
         {255, 0, 255, 255},
         {255, 198, 255, 255}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Bitmap b;
        ASSERT_EQ(decode(row.picture, b), kNoErr);
        EXPECT_EQ(b.depth(), row.depth);
        EXPECT_EQ(b.pixel(0, 0), row.first);
        EXPECT_EQ(b.pixel(3, 0), row.last);
    }
}

// Two images placed by their destination rectangles: the result is drawn at 32 bits.
TEST(Pict, PlacesImagesByTheirDestinationRectangles) {
    Bitmap red;
    ASSERT_EQ(red.create(2, 1, kDepth32), kNoErr);
    red.setPixel(0, 0, Rgba{255, 0, 0, 255});
    red.setPixel(1, 0, Rgba{0, 255, 0, 255});
    PictBuilder p(2, 10, 20, 14, 30);  // a frame that does not start at 0,0
    p.op(0x009A).u32(0xFF).u16(0x8000 | 8).rect(0, 0, 1, 2).bytes(testing::pixMapTail(1, 32, 3, 16));
    p.rect(0, 0, 1, 2).rect(10, 20, 12, 24).u16(0);  // scaled 2x into the top left
    p.u32(0x00FF0000).u32(0x0000FF00);
    // An 8-bit image with a two-entry table, drawn at the bottom right, partly outside the frame.
    p.op(0x0098).u16(0x8000 | 2).rect(0, 0, 1, 2).bytes(testing::pixMapTail(0, 8, 1, 0));
    p.u32(0).u16(0).u16(1).u16(0).u16(0).u16(0).u16(0xFFFF).u16(1).u16(0).u16(0).u16(0xFFFF);
    p.rect(0, 0, 1, 2).rect(13, 28, 14, 32).u16(0).u8(0).u8(1);
    Bytes data = p.end();

    PictInfo info;
    ASSERT_EQ(readPictInfo(data.data(), data.size(), info), kNoErr);
    EXPECT_EQ(info.imageCount, 2);
    EXPECT_FALSE(info.singleImage);
    EXPECT_EQ(info.depth, kDepth32);

    Bitmap b;
    ASSERT_EQ(decode(data, b), kNoErr);
    ASSERT_EQ(b.width(), 10);
    ASSERT_EQ(b.height(), 4);
    EXPECT_EQ(b.depth(), kDepth32);
    const Rgba white{255, 255, 255, 255};
    EXPECT_EQ(b.pixel(1, 1), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(b.pixel(3, 0), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(b.pixel(4, 0), white);
    EXPECT_EQ(b.pixel(8, 3), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(b.pixel(9, 3), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(b.pixel(0, 3), white);
}

// A mask region (a 2x2 step shape) and a clip region both limit what is drawn.
TEST(Pict, DrawsThroughMaskAndClipRegions) {
    PictBuilder p(2, 0, 0, 4, 4);
    p.op(0x0001).rectRegion(0, 0, 4, 3);  // clip: the rightmost column is outside
    p.op(0x009B).u32(0xFF).u16(0x8000 | 4).rect(0, 0, 1, 1).bytes(testing::pixMapTail(1, 32, 3, 16));
    p.rect(0, 0, 1, 1).rect(0, 0, 4, 4).u16(0);
    // Mask: rows 0-1 columns 0-1, rows 2-3 columns 0-3 (inversion points per line).
    p.u16(10 + 2 + 4 + 2 + 2 + 4 + 2 + 2 + 4 + 2 + 2).rect(0, 0, 4, 4);
    p.u16(0).u16(0).u16(2).u16(0x7FFF);
    p.u16(2).u16(2).u16(4).u16(0x7FFF);
    p.u16(4).u16(0).u16(4).u16(0x7FFF);
    p.u16(0x7FFF);
    p.u32(0x00000000);  // one black pixel stretched over the frame
    Bitmap b;
    ASSERT_EQ(decode(p.end(), b), kNoErr);
    const char* expected[] = {"##..", "##..", "###.", "###."};
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            bool black = b.pixel(x, y) == Rgba{0, 0, 0, 255};
            EXPECT_EQ(black, expected[y][x] == '#') << x << "," << y;
        }
    }
}

// The compressed-image opcode around image data of a codec.
Bytes compressedImage(uint32_t codec,
                      int16_t width,
                      int16_t height,
                      int16_t depth,
                      const Bytes& data,
                      int16_t frameWidth,
                      int16_t frameHeight,
                      int32_t translate = 0) {
    PictBuilder body(2, 0, 0, 0, 0);
    Bytes b;
    auto be16 = [&](uint16_t v) { b.insert(b.end(), {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)}); };
    auto be32 = [&](uint32_t v) {
        be16(static_cast<uint16_t>(v >> 16));
        be16(static_cast<uint16_t>(v));
    };
    be16(0);
    const uint32_t matrix[9] = {
        0x10000,   0, 0, 0, 0x10000, 0, static_cast<uint32_t>(translate << 16), static_cast<uint32_t>(translate << 16),
        0x40000000};
    for (uint32_t v : matrix) {
        be32(v);
    }
    be32(0);  // matte size
    for (int i = 0; i < 4; ++i) {
        be16(0);
    }
    be16(0);  // mode
    be16(0), be16(0), be16(static_cast<uint16_t>(height)), be16(static_cast<uint16_t>(width));
    be32(0);  // accuracy
    be32(0);  // mask size
    be32(86), be32(codec), be32(0), be16(0), be16(0), be16(0), be16(0), be32(0), be32(0), be32(0);
    be16(static_cast<uint16_t>(width)), be16(static_cast<uint16_t>(height));
    be32(72u << 16), be32(72u << 16), be32(static_cast<uint32_t>(data.size())), be16(1);
    b.resize(b.size() + 32, 0);
    be16(static_cast<uint16_t>(depth)), be16(0xFFFF);
    b.insert(b.end(), data.begin(), data.end());
    PictBuilder p(2, 0, 0, frameHeight, frameWidth);
    p.op(0x8200).u32(static_cast<uint32_t>(b.size())).bytes(b);
    return p.end();
}

TEST(Pict, CompressedOpcodeWithUncompressedData) {
    Bytes rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9};  // 2x2, rows of 6 bytes
    Bitmap b;
    ASSERT_EQ(decode(compressedImage(kCodecRaw, 2, 2, 24, rgb, 2, 2), b), kNoErr);
    EXPECT_EQ(b.depth(), kDepth24);
    EXPECT_EQ(b.pixel(0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(b.pixel(1, 1), (Rgba{9, 9, 9, 255}));

    Bytes grey = {0, 255, 128, 64};  // grey image data counts from white
    ASSERT_EQ(decode(compressedImage(kCodecRaw, 2, 2, 40, grey, 2, 2), b), kNoErr);
    EXPECT_EQ(b.depth(), kDepthGrey8);
    EXPECT_EQ(b.pixel(0, 0), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(b.pixel(1, 0), (Rgba{0, 0, 0, 255}));

    EXPECT_EQ(decode(compressedImage(kCodecRaw, 2, 2, 24, Bytes(11, 0), 2, 2), b), kBadPictureData)
        << "data shorter than its rows";
}

struct FakeDecoder {
    int calls = 0;
    uint32_t codec = 0;
    Bytes received;
    Status answer = kNoErr;

    static Status decode(void* context,
                         uint32_t codec,
                         const uint8_t* data,
                         size_t size,
                         size_t maxBytes,
                         Bitmap& out) {
        auto* self = static_cast<FakeDecoder*>(context);
        ++self->calls;
        self->codec = codec;
        self->received.assign(data, data + size);
        if (self->answer != kNoErr) {
            return self->answer;
        }
        Status status = out.create(2, 2, kDepth24, maxBytes);
        out.setPixel(1, 1, Rgba{1, 2, 3, 255});
        return status;
    }
};

TEST(Pict, CompressedOpcodeHandsJpegDataToTheDecoder) {
    const Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3, 0xFF, 0xD9};
    FakeDecoder fake;
    PictReadOptions options;
    options.decodeImageData = &FakeDecoder::decode;
    options.decoderContext = &fake;
    Bitmap b;
    ASSERT_EQ(decode(compressedImage(kCodecJpeg, 2, 2, 24, jpeg, 2, 2), b, options), kNoErr);
    EXPECT_EQ(fake.calls, 1);
    EXPECT_EQ(fake.codec, kCodecJpeg);
    EXPECT_EQ(fake.received, jpeg);
    EXPECT_EQ(b.pixel(1, 1), (Rgba{1, 2, 3, 255}));

    // Placed by its matrix inside a larger frame.
    ASSERT_EQ(decode(compressedImage(kCodecJpeg, 2, 2, 24, jpeg, 5, 5, 3), b, options), kNoErr);
    EXPECT_EQ(b.width(), 5);
    EXPECT_EQ(b.pixel(4, 4), (Rgba{1, 2, 3, 255}));
    EXPECT_EQ(b.pixel(2, 2), (Rgba{255, 255, 255, 255}));

    PictInfo info;
    Bytes data = compressedImage(kCodecJpeg, 2, 2, 24, jpeg, 2, 2);
    ASSERT_EQ(readPictInfo(data.data(), data.size(), info), kNoErr);
    EXPECT_EQ(info.depth, kDepth24);
    EXPECT_EQ(fake.calls, 2) << "information does not decode";

    fake.answer = kOutOfMemory;
    EXPECT_EQ(decode(data, b, options), kOutOfMemory);
    EXPECT_TRUE(b.empty());
    EXPECT_EQ(decode(data, b), kBadPictureData) << "no decoder";
}

// ---- Corrupt pictures: each must give a status, never a crash or a read outside the data.

TEST(PictCorrupt, EveryTruncationFails) {
    Bitmap sources[] = {makePattern(40, 3, kDepth8), makePattern(9, 4, kDepth32, true), makePattern(70, 2, kDepth16),
                        makePattern(5, 5, kDepth1)};
    for (const Bitmap& source : sources) {
        Bytes data = writeToBytes(source);
        for (size_t n = 0; n < data.size(); ++n) {
            SCOPED_TRACE(::testing::Message() << "depth " << source.depth() << " cut at " << n);
            // A copy of exactly n bytes, so the sanitizer sees any read past the end.
            std::unique_ptr<uint8_t[]> cut(new uint8_t[n ? n : 1]);
            std::memcpy(cut.get(), data.data(), n);
            Bitmap b;
            PictInfo info;
            EXPECT_NE(readPictInfo(cut.get(), n, info), kNoErr);
            EXPECT_NE(readPict(cut.get(), n, {}, b), kNoErr);
            EXPECT_TRUE(b.empty());
        }
    }
}

TEST(PictCorrupt, DamagedFieldsGiveStatuses) {
    Bitmap source = makePattern(12, 3, kDepth8, false, 4);
    const Bytes good = writeToBytes(source);
    // Offsets in the written picture: header 40 bytes, clip 12, then the PackBitsRect opcode.
    constexpr size_t kImage = 52 + 2;
    constexpr size_t kPixelSize = kImage + 2 + 8 + 18;
    constexpr size_t kCmpCount = kPixelSize + 2;
    constexpr size_t kTableSize = kImage + 2 + 8 + 36 + 6;
    struct Row {
        const char* name;
        size_t offset;
        Bytes bytes;
        Status expected;
    };
    const Row rows[] = {
        {"no version", 11, {0x12}, kBadPictureData},
        {"empty frame", 6, {0, 0}, kBadPictureData},
        {"clip region size below 10", 42, {0, 9}, kBadPictureData},
        {"clip region past the end", 42, {0x7F, 0xFF}, kBadPictureData},
        {"pixel size 3", kPixelSize, {0, 3}, kBadPictureData},
        {"pixel size 24", kPixelSize, {0, 24}, kBadPictureData},
        {"rowBytes too small", kImage + 2, {0x80, 2}, kBadPictureData},
        {"negative bounds", kImage + 4, {0x7F, 0}, kBadPictureData},
        {"colour table of 300", kTableSize, {0x01, 0x2B}, kBadPictureData},
        {"colour table count missing", kTableSize, {0x00, 0xFE}, kBadPictureData},
        {"16-bit pixels packed with the 32-bit scheme", kPixelSize, {0, 16}, kNoErr},
        {"cmpCount ignored for indexed", kCmpCount, {0, 9}, kNoErr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Bytes data = good;
        ASSERT_LE(row.offset + row.bytes.size(), data.size());
        std::copy(row.bytes.begin(), row.bytes.end(), data.begin() + static_cast<ptrdiff_t>(row.offset));
        Bitmap b;
        Status status = decode(data, b);
        if (row.expected == kNoErr) {
            EXPECT_TRUE(status == kNoErr || status == kBadPictureData) << status;
        } else {
            EXPECT_EQ(status, row.expected);
            EXPECT_TRUE(b.empty());
        }
    }
}

TEST(PictCorrupt, BadLengthsAndOpcodesGiveStatuses) {
    struct Row {
        const char* name;
        Bytes picture;
        Status expected;
    };
    auto withOp = [](auto build) {
        PictBuilder p(2, 0, 0, 10, 10);
        build(p);
        return p.end();
    };
    const Row rows[] = {
        {"long comment past the end", withOp([](PictBuilder& p) { p.op(0xA1).u16(1).u16(0xFFFF); }), kBadPictureData},
        {"long length past the end", withOp([](PictBuilder& p) { p.op(0x8201).u32(0xFFFFFFF0); }), kBadPictureData},
        {"pixel pattern of unknown type", withOp([](PictBuilder& p) { p.op(0x0012).u16(7).u32(0).u32(0); }),
         kBadPictureData},
        {"polygon size below its own word", withOp([](PictBuilder& p) { p.op(0x0070).u16(1); }), kBadPictureData},
        {"compressed image past the end", withOp([](PictBuilder& p) { p.op(0x8200).u32(0x10000); }), kBadPictureData},
        {"compressed image with a short description",
         withOp([](PictBuilder& p) { p.op(0x8200).u32(72).bytes(Bytes(64, 0)).u32(10).u32(0); }), kBadPictureData},
        {"direct bits with a bit map", withOp([](PictBuilder& p) {
             p.op(0x009A).u32(0xFF).u16(8).rect(0, 0, 1, 1).rect(0, 0, 1, 1).rect(0, 0, 1, 1).u16(0);
         }),
         kBadPictureData},
        {"32-bit pixels with 5 components", withOp([](PictBuilder& p) {
             p.op(0x009A).u32(0xFF).u16(0x8000 | 8).rect(0, 0, 1, 2).bytes(testing::pixMapTail(1, 32, 5, 16));
             p.rect(0, 0, 1, 2).rect(0, 0, 1, 2).u16(0).u32(0).u32(0);
         }),
         kBadPictureData},
        {"32-bit pixels with pack type 3", withOp([](PictBuilder& p) {
             p.op(0x009A).u32(0xFF).u16(0x8000 | 8).rect(0, 0, 1, 2).bytes(testing::pixMapTail(3, 32, 3, 16));
             p.rect(0, 0, 1, 2).rect(0, 0, 1, 2).u16(0).u8(0);
         }),
         kBadPictureData},
        {"no end opcode", PictBuilder(2, 0, 0, 10, 10).data(), kBadPictureData},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Bitmap b;
        EXPECT_EQ(decode(row.picture, b), row.expected);
        EXPECT_TRUE(b.empty());
    }
    Bitmap b;
    EXPECT_EQ(readPict(nullptr, 0, {}, b), kParamErr);
}

TEST(PictCorrupt, PicturesTooCostlyToDrawAreRefused) {
    // One 1x1 image stretched over a 300x300 frame, 70 times: 6.3 million pixels drawn, more
    // than 64 times the frame. Twice is drawn.
    for (int images : {2, 70}) {
        SCOPED_TRACE(images);
        PictBuilder p(2, 0, 0, 300, 300);
        for (int i = 0; i < images; ++i) {
            p.op(0x009A).u32(0xFF).u16(0x8000 | 4).rect(0, 0, 1, 1).bytes(testing::pixMapTail(1, 32, 3, 16));
            p.rect(0, 0, 1, 1).rect(0, 0, 300, 300).u16(0).u32(static_cast<uint32_t>(i));
        }
        Bytes data = p.end();
        PictInfo info;
        ASSERT_EQ(readPictInfo(data.data(), data.size(), info), kNoErr);
        EXPECT_EQ(info.imageCount, images);
        Bitmap b;
        EXPECT_EQ(decode(data, b), images == 2 ? kNoErr : kOutOfMemory);
    }
}

TEST(PictCorrupt, HugeSizesGiveOutOfMemory) {
    // A frame of 32767 x 32767 with two images needs a 4 GB canvas.
    PictBuilder p(2, 0, 0, 32767, 32767);
    for (int i = 0; i < 2; ++i) {
        p.op(0x009A).u32(0xFF).u16(0x8000 | 4).rect(0, 0, 1, 1).bytes(testing::pixMapTail(1, 32, 3, 16));
        p.rect(0, 0, 1, 1).rect(0, 0, 32767, 32767).u16(0).u32(0);
    }
    Bitmap b;
    EXPECT_EQ(decode(p.end(), b), kOutOfMemory);

    // One image whose rows are claimed to be 16383 bytes but are packed to nothing.
    PictBuilder q(2, 0, 0, 20000, 4000);
    q.op(0x0098).u16(0x8000 | 4000).rect(0, 0, 20000, 4000).bytes(testing::pixMapTail(0, 8, 1, 0));
    q.u32(0).u16(0).u16(0).u16(0).u16(0).u16(0).u16(0);
    q.rect(0, 0, 20000, 4000).rect(0, 0, 20000, 4000).u16(0);
    for (int y = 0; y < 20000; ++y) {
        q.u16(0);  // an empty packed row
    }
    PictReadOptions small;
    small.maxBitmapBytes = 1 << 20;
    EXPECT_EQ(decode(q.end(), b, small), kOutOfMemory);
}

}  // namespace
}  // namespace korvane::media
