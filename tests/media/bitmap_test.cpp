#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "platform/media/bitmap.h"
#include "platform/media/packbits.h"
#include "platform/media/pixel_format.h"

namespace korvane::media {
namespace {

TEST(Bitmap, CreateChecksSizesBeforeAllocating) {
    struct Row {
        int32_t width;
        int32_t height;
        int depth;
        size_t maxBytes;
        Status expected;
    };
    const Row rows[] = {
        {0, 1, kDepth8, kDefaultMaxBitmapBytes, kParamErr},
        {1, -1, kDepth8, kDefaultMaxBitmapBytes, kParamErr},
        {1, 1, 3, kDefaultMaxBitmapBytes, kParamErr},
        {1, 1, 33, kDefaultMaxBitmapBytes, kParamErr},
        {INT32_MAX, INT32_MAX, kDepth32, kDefaultMaxBitmapBytes, kOutOfMemory},
        {65535, 65535, kDepth32, kDefaultMaxBitmapBytes, kOutOfMemory},
        {1, INT32_MAX, kDepth1, kDefaultMaxBitmapBytes, kOutOfMemory},
        {100, 100, kDepth32, 39999, kOutOfMemory},
        {100, 100, kDepth32, 40000, kNoErr},
        {1, 1, kDepthGrey2, kDefaultMaxBitmapBytes, kNoErr},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        Bitmap b;
        EXPECT_EQ(b.create(rows[i].width, rows[i].height, rows[i].depth, rows[i].maxBytes), rows[i].expected);
        EXPECT_EQ(b.empty(), rows[i].expected != kNoErr);
    }
}

TEST(Bitmap, FailedCreateEmptiesABitmap) {
    Bitmap b;
    ASSERT_EQ(b.create(4, 4, kDepth24), kNoErr);
    EXPECT_EQ(b.create(INT32_MAX, INT32_MAX, kDepth24), kOutOfMemory);
    EXPECT_TRUE(b.empty());
    EXPECT_EQ(b.width(), 0);
}

TEST(Bitmap, MovingLeavesTheSourceEmpty) {
    Bitmap a;
    ASSERT_EQ(a.create(3, 2, kDepth8), kNoErr);
    Bitmap b(std::move(a));
    EXPECT_TRUE(a.empty());
    EXPECT_EQ(a.width(), 0);
    EXPECT_EQ(b.width(), 3);
    Bitmap c;
    c = std::move(b);
    EXPECT_TRUE(b.empty());
    EXPECT_EQ(c.height(), 2);
    EXPECT_EQ(c.depth(), kDepth8);
}

TEST(Bitmap, RowsAreAlignedToFourBytes) {
    struct Row {
        int32_t width;
        int depth;
        size_t stride;
        size_t used;
    };
    const Row rows[] = {{33, kDepth1, 8, 5}, {5, kDepth2, 4, 2},    {9, kDepth4, 8, 5},    {5, kDepth8, 8, 5},
                        {3, kDepth16, 8, 6}, {5, kDepth24, 16, 15}, {3, kDepth32, 12, 12}, {7, kDepthGrey8, 8, 7}};
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        Bitmap b;
        ASSERT_EQ(b.create(rows[i].width, 2, rows[i].depth), kNoErr);
        EXPECT_EQ(b.stride(), rows[i].stride);
        EXPECT_EQ(b.rowBytesUsed(), rows[i].used);
        EXPECT_EQ(b.row(1) - b.row(0), static_cast<ptrdiff_t>(rows[i].stride));
    }
}

TEST(Bitmap, IndicesOfPackedDepthsLeaveTheirNeighbours) {
    for (int depth : {kDepth1, kDepth2, kDepth4, kDepth8, kDepthGrey2, kDepthGrey4}) {
        SCOPED_TRACE(depth);
        Bitmap b;
        ASSERT_EQ(b.create(11, 1, depth), kNoErr);
        uint32_t max = (1u << bitsPerPixel(depth)) - 1;
        for (int32_t x = 0; x < 11; ++x) {
            b.setIndex(x, 0, static_cast<uint32_t>(x * 5) & max);
        }
        b.setIndex(4, 0, max);
        for (int32_t x = 0; x < 11; ++x) {
            EXPECT_EQ(b.index(x, 0), x == 4 ? max : (static_cast<uint32_t>(x * 5) & max)) << x;
        }
        EXPECT_EQ(b.row(0)[0] >> (8 - bitsPerPixel(depth)), 0u) << "most significant bits first";
    }
}

TEST(Bitmap, DirectDepthsStoreColours) {
    const Rgba colour{200, 100, 50, 25};
    struct Row {
        int depth;
        bool alpha;
        Rgba expected;
        std::vector<uint8_t> bytes;
    };
    const Row rows[] = {
        {kDepth16, false, Rgba{206, 99, 49, 255}, {0x86, 0x65}},
        {kDepth24, false, Rgba{200, 100, 50, 255}, {50, 100, 200}},
        {kDepth32, false, Rgba{200, 100, 50, 255}, {50, 100, 200, 255}},
        {kDepth32, true, colour, {50, 100, 200, 25}},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        Bitmap b;
        ASSERT_EQ(b.create(2, 1, rows[i].depth), kNoErr);
        b.setHasAlpha(rows[i].alpha);
        b.setPixel(1, 0, colour);
        EXPECT_EQ(b.pixel(1, 0), rows[i].expected);
        std::vector<uint8_t> stored(b.row(0) + rows[i].bytes.size(), b.row(0) + 2 * rows[i].bytes.size());
        EXPECT_EQ(stored, rows[i].bytes);
    }
}

TEST(Bitmap, PalettesOfEachDepth) {
    Bitmap b;
    ASSERT_EQ(b.create(1, 1, kDepth1), kNoErr);
    EXPECT_EQ(b.pixel(0, 0), (Rgba{255, 255, 255, 255}));
    b.setIndex(0, 0, 1);
    EXPECT_EQ(b.pixel(0, 0), (Rgba{0, 0, 0, 255}));

    ASSERT_EQ(b.create(1, 1, kDepthGrey2), kNoErr);
    ASSERT_EQ(b.palette().size(), 4u);
    EXPECT_EQ(b.palette()[1], (Rgb{85, 85, 85}));
    EXPECT_EQ(b.palette()[3], (Rgb{255, 255, 255}));

    ASSERT_EQ(b.create(1, 1, kDepth4), kNoErr);
    std::vector<Rgb> big(17);
    EXPECT_EQ(b.setPalette(big), kParamErr);
    const Rgb two[] = {{1, 2, 3}, {4, 5, 6}};
    EXPECT_EQ(b.setPalette(two), kNoErr);
    b.setIndex(0, 0, 1);
    EXPECT_EQ(b.pixel(0, 0), (Rgba{4, 5, 6, 255}));
    b.setIndex(0, 0, 9);
    EXPECT_EQ(b.pixel(0, 0), (Rgba{0, 0, 0, 255})) << "an index beyond the palette reads as black";

    ASSERT_EQ(b.create(1, 1, kDepth24), kNoErr);
    EXPECT_EQ(b.setPalette(two), kParamErr);
}

TEST(Bitmap, EmptyAlphaIsDropped) {
    Bitmap b;
    ASSERT_EQ(b.create(2, 2, kDepth32), kNoErr);
    b.setHasAlpha(true);
    b.fill(Rgba{1, 2, 3, 0});
    b.dropEmptyAlpha();
    EXPECT_FALSE(b.hasAlpha());
    EXPECT_EQ(b.pixel(1, 1), (Rgba{1, 2, 3, 255}));

    b.setHasAlpha(true);
    b.setPixel(0, 0, Rgba{1, 2, 3, 0});
    b.setPixel(1, 1, Rgba{1, 2, 3, 7});
    b.dropEmptyAlpha();
    EXPECT_TRUE(b.hasAlpha());
    EXPECT_EQ(b.pixel(0, 0).alpha, 0);
}

TEST(PixelFormat, DepthTable) {
    using F = PixelFormat;
    const std::pair<F, int> rows[] = {
        {F::kIndexed1, 1},
        {F::kIndexed2, 2},
        {F::kIndexed4, 4},
        {F::kIndexed8, 8},
        {F::kBlackWhite, 1},
        {F::kGrey2, 34},
        {F::kGrey4, 36},
        {F::kGrey8, 40},
        {F::kGrey16, 40},
        {F::kGreyFloat, 40},
        {F::kRgb555, 16},
        {F::kRgb565, 16},
        {F::kRgba5551, 16},
        {F::kRgb24, 24},
        {F::kRgbx32, 24},
        {F::kRgba32, 32},
        {F::kPremultipliedRgba32, 32},
        {F::kCmyk32, 32},
        {F::kCmyk64, 32},
        {F::kRgb48, 24},
        {F::kRgba64, 32},
        {F::kPremultipliedRgba64, 32},
        {F::kRgbFloat, 24},
        {F::kRgbaFloat, 32},
    };
    static_assert(std::size(rows) == static_cast<size_t>(F::kCount));
    for (const auto& [format, depth] : rows) {
        SCOPED_TRACE(static_cast<int>(format));
        EXPECT_EQ(reportedDepth(format), depth);
        Bitmap b;
        EXPECT_EQ(b.create(1, 1, depth), kNoErr) << "every reported depth is a bitmap depth";
    }
    EXPECT_EQ(reportedDepth(static_cast<F>(200)), 32);
}

TEST(PackBits, RoundTripsBytesAndWords) {
    std::vector<std::vector<uint8_t>> inputs = {
        {}, {7}, std::vector<uint8_t>(300, 0xAB), {1, 2, 3, 4, 5, 6, 7, 8}, {1, 1, 2, 2, 2, 3, 4, 4, 4, 4, 5, 6},
    };
    std::vector<uint8_t> varied;
    for (int i = 0; i < 1000; ++i) {
        varied.push_back(static_cast<uint8_t>(i % 7 < 3 ? 9 : i * 37));
    }
    inputs.push_back(varied);
    for (unsigned unit : {1u, 2u}) {
        for (size_t i = 0; i < inputs.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "unit " << unit << " input " << i);
            std::vector<uint8_t> in = inputs[i];
            in.resize(in.size() / unit * unit);
            std::vector<uint8_t> packed(packBitsBound(in.size(), unit));
            size_t n = packBits(in.data(), in.size(), packed.data(), unit);
            ASSERT_LE(n, packed.size());
            std::vector<uint8_t> out(in.size(), 0xEE);
            ASSERT_TRUE(unpackBits(packed.data(), n, out.data(), out.size(), unit));
            EXPECT_EQ(out, in);
        }
    }
}

TEST(PackBits, HostileInputStaysInsideBothBuffers) {
    struct Row {
        std::vector<uint8_t> packed;
        unsigned unit;
        std::vector<uint8_t> expected;
    };
    const Row rows[] = {
        {{0x81, 5}, 1, {5, 5, 5, 5}},                 // run longer than the output: cut
        {{0x7F, 1, 2}, 1, {1, 2, 0, 0}},              // literal longer than the input: zero fill
        {{0x80, 0x80, 0x01, 3, 4}, 1, {3, 4, 0, 0}},  // 128 is skipped
        {{0xFF}, 1, {0, 0, 0, 0}},                    // run without its byte
        {{0xFE, 1, 2}, 2, {1, 2, 1, 2}},              // word run cut at the end
        {{0xFF, 1}, 2, {0, 0, 0, 0}},                 // half a word
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        std::vector<uint8_t> out(4, 0xEE);
        ASSERT_TRUE(unpackBits(rows[i].packed.data(), rows[i].packed.size(), out.data(), out.size(), rows[i].unit));
        EXPECT_EQ(out, rows[i].expected);
    }
    uint8_t out[2];
    EXPECT_FALSE(unpackBits(out, 0, out, 2, 3));
}

}  // namespace
}  // namespace korvane::media
