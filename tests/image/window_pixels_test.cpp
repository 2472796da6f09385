// The zoom effect's frames and outlines, and CheckArea's pixel sum.

#include "image/window_pixels.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/seeded_random.h"

namespace korvane {
namespace {

using media::PixelRect;

Rect ltrb(int16_t left, int16_t top, int16_t right, int16_t bottom) {
    return Rect{top, left, bottom, right};
}

TEST(ZoomFrames, OneStepGivesTheSourceAndTheDestination) {
    const Rect from = ltrb(10, 20, 30, 40);
    const Rect to = ltrb(100, 50, 300, 150);
    EXPECT_EQ(zoomFrame(from, to, 0, 1, false), (PixelRect{10, 20, 30, 40}));
    EXPECT_EQ(zoomFrame(from, to, 1, 1, false), (PixelRect{100, 50, 300, 150}));
}

TEST(ZoomFrames, EdgesMoveByTheStepFractionTruncatedTowardZero) {
    const Rect from = ltrb(0, 0, 10, 10);
    const Rect to = ltrb(-10, 3, 20, 110);
    struct Row {
        int32_t index;
        bool accelerate;
        PixelRect frame;
    };
    const Row rows[] = {
        {1, false, {-3, 1, 13, 43}},  // a third: -3.33, 1, 13.33, 43.33
        {2, false, {-6, 2, 16, 76}},  // two thirds: -6.67 truncates to -6
        {1, true, {-1, 0, 11, 21}},   // a ninth: -1.11, 0.33, 11.11, 21.11
        {2, true, {-4, 1, 14, 54}},   // four ninths: -4.44, 1.33, 14.44, 54.44
        {3, true, {-10, 3, 20, 110}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.index * 10 + row.accelerate);
        EXPECT_EQ(zoomFrame(from, to, row.index, 3, row.accelerate), row.frame);
    }
}

// Counts how often each pixel of a 12x12 grid is covered by the edges.
std::vector<int> coverage(const PixelRect& frame) {
    std::vector<int> counts(144, 0);
    PixelRect edges[4];
    const int n = frameEdges(frame, edges);
    for (int i = 0; i < n; ++i) {
        for (int32_t y = edges[i].top; y < edges[i].bottom; ++y) {
            for (int32_t x = edges[i].left; x < edges[i].right; ++x) {
                ++counts[static_cast<size_t>(y * 12 + x)];
            }
        }
    }
    return counts;
}

TEST(ZoomFrames, OutlinesCoverEachBorderPixelExactlyOnce) {
    for (int32_t width = 0; width <= 5; ++width) {
        for (int32_t height = 0; height <= 5; ++height) {
            SCOPED_TRACE(width * 10 + height);
            const PixelRect frame{2, 3, 2 + width, 3 + height};
            const std::vector<int> counts = coverage(frame);
            for (int32_t y = 0; y < 12; ++y) {
                for (int32_t x = 0; x < 12; ++x) {
                    const bool inside = x >= frame.left && x < frame.right && y >= frame.top && y < frame.bottom;
                    const bool border =
                        inside && (x == frame.left || x == frame.right - 1 || y == frame.top || y == frame.bottom - 1);
                    EXPECT_EQ(counts[static_cast<size_t>(y * 12 + x)], border ? 1 : 0) << x << "," << y;
                }
            }
        }
    }
}

media::Bitmap filled(int32_t width, int32_t height, media::Rgba colour) {
    media::Bitmap b;
    EXPECT_EQ(b.create(width, height, media::kDepth32), kNoErr);
    b.fill(colour);
    return b;
}

// A bitmap's rows as the sum reads them; valid while the bitmap lives (a temporary lives to
// the end of the call it is made for).
PixelRows rowsOf(const media::Bitmap& bitmap) {
    return PixelRows{bitmap.row(0), bitmap.stride()};
}

TEST(AreaSum, ColourValuesAddAndUnreadablePixelsCountMinusOne) {
    const media::Rgba white{255, 255, 255, 255};
    const media::Rgba black{0, 0, 0, 255};
    const PixelRect everywhere{-1000, -1000, 1000, 1000};
    const PixelRect area{5, 5, 7, 6};  // 2 by 1
    EXPECT_EQ(sumAreaColours(rowsOf(filled(2, 1, white)), area, &everywhere, 1), 33554430);
    EXPECT_EQ(sumAreaColours(rowsOf(filled(2, 1, black)), area, &everywhere, 1), 0);

    media::Bitmap mixed = filled(2, 1, black);
    mixed.setPixel(1, 0, media::Rgba{0x12, 0x34, 0x56, 255});  // 0x00563412
    EXPECT_EQ(sumAreaColours(rowsOf(mixed), area, &everywhere, 1), 0x563412);

    // Only the left pixel can be read: the right one adds -1.
    const PixelRect leftHalf{0, 0, 6, 100};
    EXPECT_EQ(sumAreaColours(rowsOf(filled(2, 1, white)), area, &leftHalf, 1), 16777215 - 1);
    EXPECT_EQ(sumAreaColours(rowsOf(filled(2, 1, white)), area, nullptr, 0), -2);
}

TEST(AreaSum, SeveralVisiblePartsAndWrapAround) {
    const media::Rgba white{255, 255, 255, 255};
    // 200 x 1 white pixels: 200 * 16777215 wraps past 2^31.
    const PixelRect area{0, 0, 200, 1};
    const PixelRect parts[] = {{0, 0, 50, 1}, {60, 0, 200, 1}};  // ten pixels hidden
    const uint32_t expected = 190u * 16777215u + 10u * 0xFFFFFFFFu;
    EXPECT_EQ(sumAreaColours(rowsOf(filled(200, 1, white)), area, parts, 2), static_cast<int32_t>(expected));
}

TEST(AreaSum, LongRowsOfAnyColoursSumAsPixelByPixel) {
    test::SeededRandom random(11);
    for (int32_t width : {1, 255, 256, 257, 700}) {
        SCOPED_TRACE(width);
        media::Bitmap pixels = filled(width, 3, media::Rgba{255, 255, 255, 255});
        uint32_t expected = 0;
        for (int32_t y = 0; y < 3; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                const media::Rgba c{static_cast<uint8_t>(random.below(256)), static_cast<uint8_t>(random.below(256)),
                                    static_cast<uint8_t>(random.below(256)), static_cast<uint8_t>(random.below(256))};
                pixels.setPixel(x, y, c);
                expected += uint32_t{c.blue} << 16 | uint32_t{c.green} << 8 | c.red;
            }
        }
        const PixelRect area{-7, 2, width - 7, 5};
        const PixelRect everywhere{-1000, -1000, 5000, 5000};
        EXPECT_EQ(sumAreaColours(rowsOf(pixels), area, &everywhere, 1), static_cast<int32_t>(expected));
    }
}

}  // namespace
}  // namespace korvane
