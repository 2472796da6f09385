#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "platform/media/dib.h"
#include "tests/media/test_images.h"

namespace korvane::media {
namespace {

using testing::Bytes;
using testing::makePattern;
using testing::samePixels;

Bytes dibOf(const Bitmap& b) {
    ByteWriter w;
    EXPECT_EQ(writeDib(b, w), kNoErr);
    return testing::toBytes(w);
}

void le16(Bytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void le32(Bytes& b, uint32_t v) {
    le16(b, static_cast<uint16_t>(v));
    le16(b, static_cast<uint16_t>(v >> 16));
}

// A 40-byte (or longer) information header.
Bytes infoHeader(uint32_t size,
                 int32_t width,
                 int32_t height,
                 uint16_t bits,
                 uint32_t compression,
                 uint32_t colours = 0) {
    Bytes b;
    le32(b, size);
    le32(b, static_cast<uint32_t>(width));
    le32(b, static_cast<uint32_t>(height));
    le16(b, 1);
    le16(b, bits);
    le32(b, compression);
    le32(b, 0);
    le32(b, 3780);  // 96 dpi
    le32(b, 3780);
    le32(b, colours);
    le32(b, 0);
    return b;
}

TEST(Dib, WrittenAndReadBackIsTheSameImage) {
    struct Row {
        int depth;
        bool alpha;
        int readDepth;
    };
    const Row rows[] = {
        {kDepth1, false, kDepth1},         {kDepth2, false, kDepth4},     {kDepth4, false, kDepth4},
        {kDepth8, false, kDepth8},         {kDepthGrey2, false, kDepth4}, {kDepthGrey4, false, kDepthGrey4},
        {kDepthGrey8, false, kDepthGrey8}, {kDepth16, false, kDepth16},   {kDepth24, false, kDepth24},
        {kDepth32, false, kDepth32},       {kDepth32, true, kDepth32}};
    for (const Row& row : rows) {
        for (auto [w, h] : {std::pair{1, 1}, std::pair{13, 3}}) {
            SCOPED_TRACE(::testing::Message() << "depth " << row.depth << " alpha " << row.alpha << " " << w);
            Bitmap original = makePattern(w, h, row.depth, row.alpha);
            original.setResolution(300 * kFixedOne, 150 * kFixedOne);
            Bytes data = dibOf(original);
            Bitmap back;
            ASSERT_EQ(readDib(data.data(), data.size(), kDefaultMaxBitmapBytes, back), kNoErr);
            EXPECT_EQ(back.depth(), row.readDepth);
            EXPECT_EQ(back.hasAlpha(), row.alpha);
            EXPECT_TRUE(samePixels(original, back));
            EXPECT_EQ(back.horizontalResolution(), 300 * kFixedOne);
            EXPECT_EQ(back.verticalResolution(), 150 * kFixedOne);
        }
    }
}

TEST(Dib, ReadsTopDownMaskedAndCoreBitmaps) {
    // Top-down 16-bit 565 with masks after a 40-byte header: red, then green.
    Bytes masked = infoHeader(40, 2, -1, 16, 3);
    le32(masked, 0xF800), le32(masked, 0x07E0), le32(masked, 0x001F);
    le16(masked, 0xF800), le16(masked, 0x07E0);
    Bitmap b;
    ASSERT_EQ(readDib(masked.data(), masked.size(), kDefaultMaxBitmapBytes, b), kNoErr);
    EXPECT_EQ(b.depth(), kDepth16);
    EXPECT_EQ(b.pixel(0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(b.pixel(1, 0), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(b.horizontalResolution(), 96 * kFixedOne) << "3780 pixels a metre";

    // A 124-byte header with an alpha mask; two rows, bottom-up.
    Bytes v5 = infoHeader(124, 1, 2, 32, 3);
    le32(v5, 0x0000FF00), le32(v5, 0x00FF0000), le32(v5, 0xFF000000), le32(v5, 0x000000FF);
    v5.resize(124, 0);
    v5.insert(v5.end(), {0x80, 1, 2, 3});  // bottom row: alpha 0x80, blue 3, green 2, red 1
    v5.insert(v5.end(), {0xFF, 9, 9, 9});
    ASSERT_EQ(readDib(v5.data(), v5.size(), kDefaultMaxBitmapBytes, b), kNoErr);
    EXPECT_TRUE(b.hasAlpha());
    EXPECT_EQ(b.pixel(0, 1), (Rgba{1, 2, 3, 0x80}));
    EXPECT_EQ(b.pixel(0, 0), (Rgba{9, 9, 9, 255}));

    // A 12-byte core header with a 3-byte palette entry per colour.
    Bytes core;
    le32(core, 12), le16(core, 3), le16(core, 1), le16(core, 1), le16(core, 1);
    core.insert(core.end(), {0, 0, 255, 255, 0, 0});  // red, blue
    core.insert(core.end(), {0b01000000, 0, 0, 0});
    ASSERT_EQ(readDib(core.data(), core.size(), kDefaultMaxBitmapBytes, b), kNoErr);
    EXPECT_EQ(b.depth(), kDepth1);
    EXPECT_EQ(b.pixel(0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(b.pixel(1, 0), (Rgba{0, 0, 255, 255}));
}

TEST(Dib, ResolutionsInPixelsPerMetre) {
    const std::pair<int32_t, Fixed> rows[] = {
        {3780, 96 * kFixedOne},
        {2835, 72 * kFixedOne},
        {11811, 300 * kFixedOne},
        {2834, 72 * kFixedOne},
        {3779, 96 * kFixedOne},
        {2833, 4715853},  // rounded down; two steps below: not snapped
        {0, kDefaultResolution},
        {-5, kDefaultResolution},
        {100, 166461},  // 2.54 dpi, not snapped
    };
    for (const auto& [ppm, fixed] : rows) {
        EXPECT_EQ(resolutionFromPixelsPerMetre(ppm), fixed) << ppm;
    }
    EXPECT_EQ(pixelsPerMetre(72 * kFixedOne), 2835);
    EXPECT_EQ(pixelsPerMetre(96 * kFixedOne), 3780);
}

TEST(Dib, DamagedBitmapsGiveStatuses) {
    struct Row {
        const char* name;
        Bytes data;
        Status expected;
    };
    auto withRows = [](Bytes header, size_t rows) {
        header.resize(header.size() + rows, 0);
        return header;
    };
    const Row rows[] = {
        {"header size 20", withRows(infoHeader(20, 1, 1, 24, 0), 4), kBadPictureData},
        {"zero width", withRows(infoHeader(40, 0, 1, 24, 0), 4), kBadPictureData},
        {"most negative height", withRows(infoHeader(40, 1, INT32_MIN, 24, 0), 4), kBadPictureData},
        {"2 bits", withRows(infoHeader(40, 1, 1, 2, 0), 20), kBadPictureData},
        {"run-length", withRows(infoHeader(40, 1, 1, 8, 1), 1100), kBadPictureData},
        {"embedded JPEG", withRows(infoHeader(40, 1, 1, 24, 4), 4), kBadPictureData},
        {"masks for 24 bits", withRows(infoHeader(40, 1, 1, 24, 3), 16), kBadPictureData},
        {"palette beyond the data", withRows(infoHeader(40, 1, 1, 8, 0, 200), 4), kBadPictureData},
        {"colour count huge", withRows(infoHeader(40, 1, 1, 8, 0, 0xFFFFFFFF), 4), kBadPictureData},
        {"rows beyond the data", withRows(infoHeader(40, 4, 2, 24, 0), 12), kBadPictureData},
        {"huge", withRows(infoHeader(40, 0x7FFFFFFF, 0x7FFFFFFF, 32, 0), 4), kBadPictureData},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Bitmap b;
        EXPECT_EQ(readDib(row.data.data(), row.data.size(), kDefaultMaxBitmapBytes, b), row.expected);
        EXPECT_TRUE(b.empty());
    }
    Bitmap b;
    EXPECT_EQ(readDib(nullptr, 0, kDefaultMaxBitmapBytes, b), kParamErr);
    Bytes ok = dibOf(makePattern(20, 20, kDepth24));
    EXPECT_EQ(readDib(ok.data(), ok.size(), 100, b), kOutOfMemory);
    ByteWriter w;
    EXPECT_EQ(writeDib(Bitmap(), w), kParamErr);
}

TEST(Dib, EveryTruncationFails) {
    Bytes data = dibOf(makePattern(5, 3, kDepth8, false, 7));
    for (size_t n = 0; n < data.size(); ++n) {
        SCOPED_TRACE(n);
        std::unique_ptr<uint8_t[]> cut(new uint8_t[n ? n : 1]);
        std::memcpy(cut.get(), data.data(), n);
        Bitmap b;
        EXPECT_NE(readDib(cut.get(), n, kDefaultMaxBitmapBytes, b), kNoErr);
    }
}

}  // namespace
}  // namespace korvane::media
