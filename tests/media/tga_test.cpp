#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "platform/media/tga.h"
#include "tests/media/test_images.h"

namespace korvane::media {
namespace {

using testing::Bytes;
using testing::makePattern;
using testing::samePixels;
using testing::TgaLayout;

struct Case {
    TgaLayout layout;
    int sourceDepth;
    bool alpha;
    int depth;
};

// Sources: colour-mapped from 8-bit, grey from depth 40 (or 32 grey with alpha), true colour
// from the matching depth. 15 and 16 bits come from a 16-bit bitmap.
const Case kCases[] = {
    {{1, 8}, kDepth8, false, kDepth8},
    {{9, 8, true}, kDepth8, false, kDepth8},
    {{1, 8, false, false, 16}, kDepth8, false, kDepth8},
    {{9, 8, false, true, 32}, kDepth8, false, kDepth8},
    {{2, 15}, kDepth16, false, kDepth16},
    {{10, 16, true}, kDepth16, false, kDepth16},
    {{2, 24}, kDepth24, false, kDepth24},
    {{2, 24, true, true}, kDepth24, false, kDepth24},
    {{10, 24}, kDepth24, false, kDepth24},
    {{2, 32, true}, kDepth32, true, kDepth32},
    {{10, 32, false, true}, kDepth32, true, kDepth32},
    {{3, 8}, kDepthGrey8, false, kDepthGrey8},
    {{11, 8, true}, kDepthGrey8, false, kDepthGrey8},
    {{11, 16}, kDepth32, true, kDepth32},
};

Bitmap greyWithAlpha(int32_t width, int32_t height) {
    Bitmap b = makePattern(width, height, kDepth32, true);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            Rgba c = b.pixel(x, y);
            b.setPixel(x, y, Rgba{c.red, c.red, c.red, c.alpha});
        }
    }
    return b;
}

Bitmap sourceFor(const Case& c, int32_t width, int32_t height) {
    if (c.layout.type % 8 == 3 && c.layout.bits == 16) {
        return greyWithAlpha(width, height);
    }
    return makePattern(width, height, c.sourceDepth, c.alpha, c.sourceDepth == kDepth8 ? 200 : 0);
}

TEST(Tga, ReadsEveryTypeDepthAndOrientation) {
    for (const Case& c : kCases) {
        for (auto [w, h] : {std::pair{1, 1}, std::pair{7, 3}, std::pair{150, 4}}) {
            SCOPED_TRACE(::testing::Message()
                         << "type " << int{c.layout.type} << " bits " << int{c.layout.bits} << " topDown "
                         << c.layout.topDown << " rightToLeft " << c.layout.rightToLeft << " map "
                         << int{c.layout.mapBits} << " size " << w << "x" << h);
            Bitmap source = sourceFor(c, w, h);
            Bytes file = testing::writeTga(source, c.layout);
            ImageHeader header;
            ASSERT_EQ(readTgaHeader(file.data(), file.size(), header), kNoErr);
            EXPECT_EQ(header.width, w);
            EXPECT_EQ(header.height, h);
            EXPECT_EQ(header.depth, c.depth);
            Bitmap b;
            ASSERT_EQ(readTga(file.data(), file.size(), kDefaultMaxBitmapBytes, b), kNoErr);
            EXPECT_EQ(b.depth(), c.depth);
            EXPECT_EQ(b.hasAlpha(), c.alpha);
            if (c.layout.mapBits == 16) {
                // The colour map holds 5 bits a channel.
                for (int32_t y = 0; y < h; ++y) {
                    for (int32_t x = 0; x < w; ++x) {
                        Rgba s = source.pixel(x, y);
                        EXPECT_EQ(b.pixel(x, y),
                                  (Rgba{unpackRgb555(packRgb555(Rgb{s.red, s.green, s.blue})).red,
                                        unpackRgb555(packRgb555(Rgb{s.red, s.green, s.blue})).green,
                                        unpackRgb555(packRgb555(Rgb{s.red, s.green, s.blue})).blue, 255}));
                    }
                }
            } else {
                EXPECT_TRUE(samePixels(source, b));
            }
        }
    }
}

TEST(Tga, BottomUpIsNotUpsideDown) {
    // A 1x2 image: top pixel red, bottom pixel blue; stored bottom row first.
    Bytes file = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 2, 0, 24, 0, 255, 0, 0, 0, 0, 255};
    Bitmap b;
    ASSERT_EQ(readTga(file.data(), file.size(), kDefaultMaxBitmapBytes, b), kNoErr);
    EXPECT_EQ(b.pixel(0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(b.pixel(0, 1), (Rgba{0, 0, 255, 255}));
}

TEST(Tga, DamagedFilesGiveStatuses) {
    const Bytes good = testing::writeTga(makePattern(9, 5, kDepth8, false, 20), {9, 8});
    struct Row {
        const char* name;
        size_t offset;
        Bytes bytes;
        Status expected;
    };
    const Row rows[] = {
        {"type 4", 2, {4}, kBadPictureData},
        {"type 32", 2, {32}, kBadPictureData},
        {"colour map type 2", 1, {2}, kBadPictureData},
        {"colour map entry of 8 bits", 7, {8}, kBadPictureData},
        {"colour map past the end", 5, {0xFF, 0xFF}, kBadPictureData},
        {"zero width", 12, {0, 0}, kBadPictureData},
        {"7-bit indices", 16, {7}, kBadPictureData},
        {"huge", 12, {0xFF, 0xFF, 0xFF, 0xFF}, kBadPictureData},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Bytes data = good;
        std::copy(row.bytes.begin(), row.bytes.end(), data.begin() + static_cast<ptrdiff_t>(row.offset));
        Bitmap b;
        EXPECT_EQ(readTga(data.data(), data.size(), kDefaultMaxBitmapBytes, b), row.expected);
        EXPECT_TRUE(b.empty());
    }
    Bitmap b;
    EXPECT_EQ(readTga(nullptr, 0, kDefaultMaxBitmapBytes, b), kParamErr);
    EXPECT_EQ(readTga(good.data(), good.size(), 16, b), kOutOfMemory);
}

TEST(Tga, EveryTruncationFails) {
    for (const auto& layout : {TgaLayout{10, 24}, TgaLayout{2, 16}, TgaLayout{9, 8}}) {
        Bitmap source = makePattern(6, 4, layout.bits == 8 ? kDepth8 : layout.bits == 16 ? kDepth16 : kDepth24);
        Bytes data = testing::writeTga(source, layout);
        for (size_t n = 0; n < data.size(); ++n) {
            SCOPED_TRACE(::testing::Message() << "type " << int{layout.type} << " cut at " << n);
            std::unique_ptr<uint8_t[]> cut(new uint8_t[n ? n : 1]);
            std::memcpy(cut.get(), data.data(), n);
            Bitmap b;
            EXPECT_NE(readTga(cut.get(), n, kDefaultMaxBitmapBytes, b), kNoErr);
            EXPECT_TRUE(b.empty());
        }
    }
}

}  // namespace
}  // namespace korvane::media
