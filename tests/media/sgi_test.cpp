#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "platform/media/sgi.h"
#include "tests/media/test_images.h"

namespace korvane::media {
namespace {

using testing::Bytes;
using testing::makePattern;
using testing::samePixels;
using testing::SgiLayout;

Bitmap sourceFor(int channels, int32_t width, int32_t height) {
    switch (channels) {
        case 1:
            return makePattern(width, height, kDepthGrey8);
        case 2: {
            Bitmap b = makePattern(width, height, kDepth32, true);
            for (int32_t y = 0; y < height; ++y) {
                for (int32_t x = 0; x < width; ++x) {
                    Rgba c = b.pixel(x, y);
                    b.setPixel(x, y, Rgba{c.red, c.red, c.red, c.alpha});
                }
            }
            return b;
        }
        case 3:
            return makePattern(width, height, kDepth24);
        default:
            return makePattern(width, height, kDepth32, true);
    }
}

TEST(Sgi, ReadsVerbatimAndRunLengthImagesOfOneToFourChannels) {
    const int depths[] = {0, kDepthGrey8, kDepth32, kDepth24, kDepth32};
    for (bool rle : {false, true}) {
        for (int channels = 1; channels <= 4; ++channels) {
            for (int bpc : {1, 2}) {
                for (auto [w, h] : {std::pair{1, 1}, std::pair{5, 3}, std::pair{300, 2}}) {
                    SCOPED_TRACE(::testing::Message() << "rle " << rle << " channels " << channels << " bpc " << bpc
                                                      << " size " << w << "x" << h);
                    Bitmap source = sourceFor(channels, w, h);
                    Bytes file = testing::writeSgi(source, SgiLayout{rle, channels, bpc});
                    ImageHeader header;
                    ASSERT_EQ(readSgiHeader(file.data(), file.size(), header), kNoErr);
                    EXPECT_EQ(header.depth, depths[channels]);
                    Bitmap b;
                    ASSERT_EQ(readSgi(file.data(), file.size(), kDefaultMaxBitmapBytes, b), kNoErr);
                    EXPECT_EQ(b.depth(), depths[channels]);
                    EXPECT_EQ(b.hasAlpha(), channels % 2 == 0);
                    EXPECT_TRUE(samePixels(source, b));
                }
            }
        }
    }
}

TEST(Sgi, DamagedFilesGiveStatuses) {
    const Bytes good = testing::writeSgi(makePattern(9, 5, kDepth24), SgiLayout{true, 3});
    struct Row {
        const char* name;
        size_t offset;
        Bytes bytes;
        Status expected;
    };
    const Row rows[] = {
        {"bad magic", 0, {0x02}, kBadPictureData},
        {"storage 2", 2, {2}, kBadPictureData},
        {"3 bytes a channel", 3, {3}, kBadPictureData},
        {"dimension 4", 4, {0, 4}, kBadPictureData},
        {"5 channels", 10, {0, 5}, kBadPictureData},
        {"zero width", 6, {0, 0}, kBadPictureData},
        {"colour map image", 104, {0, 0, 0, 3}, kBadPictureData},
        {"row offset past the end", 512, {0x7F, 0, 0, 0}, kBadPictureData},
        {"row length past the end", 512 + 15 * 4, {0, 0, 0x7F, 0}, kBadPictureData},
        {"bigger than its data", 6, {0xFF, 0xFF}, kBadPictureData},
        {"rows shorter than the width", 6, {0, 10}, kBadPictureData},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Bytes data = good;
        std::copy(row.bytes.begin(), row.bytes.end(), data.begin() + static_cast<ptrdiff_t>(row.offset));
        Bitmap b;
        EXPECT_EQ(readSgi(data.data(), data.size(), kDefaultMaxBitmapBytes, b), row.expected);
        EXPECT_TRUE(b.empty());
    }
    Bitmap b;
    EXPECT_EQ(readSgi(good.data(), good.size(), 100, b), kOutOfMemory);
}

TEST(Sgi, EveryTruncationFails) {
    for (bool rle : {false, true}) {
        Bytes data = testing::writeSgi(makePattern(6, 4, kDepth32, true), SgiLayout{rle, 4});
        for (size_t n = 0; n < data.size(); ++n) {
            SCOPED_TRACE(::testing::Message() << "rle " << rle << " cut at " << n);
            std::unique_ptr<uint8_t[]> cut(new uint8_t[n ? n : 1]);
            std::memcpy(cut.get(), data.data(), n);
            Bitmap b;
            EXPECT_NE(readSgi(cut.get(), n, kDefaultMaxBitmapBytes, b), kNoErr);
            EXPECT_TRUE(b.empty());
        }
    }
}

}  // namespace
}  // namespace korvane::media
