// Offscreen buffers: every depth the drawing functions take, white from the start, and
// rectangles filled inside the buffer only.

#include <gtest/gtest.h>

#include "platform/media/offscreen.h"

namespace korvane::media {
namespace {

constexpr Rgba kWhite{255, 255, 255, 255};

TEST(Offscreen, EveryDrawingDepthStartsWhite) {
    const struct {
        int depth;
        size_t paletteSize;
    } rows[] = {{kDepth1, 2},  {kDepth2, 4},     {kDepth4, 16},     {kDepth8, 256},    {kDepth16, 0},
                {kDepth32, 0}, {kDepthGrey2, 4}, {kDepthGrey4, 16}, {kDepthGrey8, 256}};
    for (const auto& row : rows) {
        Bitmap buffer;
        ASSERT_EQ(createOffscreen(7, 3, row.depth, buffer), kNoErr) << row.depth;
        EXPECT_EQ(buffer.depth(), row.depth);
        EXPECT_EQ(buffer.palette().size(), row.paletteSize) << row.depth;
        for (int32_t y = 0; y < 3; ++y) {
            for (int32_t x = 0; x < 7; ++x) {
                EXPECT_EQ(buffer.pixel(x, y), kWhite) << row.depth << " at " << x << "," << y;
            }
        }
    }
}

TEST(Offscreen, RefusesOtherDepthsAndSizes) {
    Bitmap buffer;
    for (int depth : {0, 3, 24, 33, 64}) {
        EXPECT_EQ(createOffscreen(4, 4, depth, buffer), kParamErr) << depth;
        EXPECT_TRUE(buffer.empty());
    }
    EXPECT_EQ(createOffscreen(0, 4, kDepth32, buffer), kParamErr);
    EXPECT_EQ(createOffscreen(-4, 4, kDepth32, buffer), kParamErr);
    EXPECT_EQ(createOffscreen(65535, 65535, kDepth32, buffer), kOutOfMemory);
}

TEST(Offscreen, StandardTablesRunFromWhiteToBlack) {
    for (int depth : {kDepth1, kDepth2, kDepth4, kDepth8}) {
        const auto palette = standardPalette(depth);
        ASSERT_EQ(palette.size(), size_t{1} << depth);
        EXPECT_EQ(palette.front(), (Rgb{255, 255, 255})) << depth;
        EXPECT_EQ(palette.back(), (Rgb{0, 0, 0})) << depth;
    }
    // The 8-bit table holds the whole 6-level cube.
    const auto table = standardPalette(kDepth8);
    EXPECT_EQ(table[1], (Rgb{0xFF, 0xFF, 0xCC}));
    EXPECT_EQ(table[214], (Rgb{0, 0, 0x33}));
    EXPECT_TRUE(standardPalette(kDepth16).empty());
}

TEST(Offscreen, FillStaysInsideTheBitmap) {
    for (int depth : {kDepth1, kDepth4, kDepth8, kDepth16, kDepth32, kDepthGrey8}) {
        Bitmap buffer;
        ASSERT_EQ(createOffscreen(6, 4, depth, buffer), kNoErr);
        fillRect(buffer, PixelRect{-100, 2, 3, 100}, Rgb{0, 0, 0});
        fillRect(buffer, PixelRect{7, 0, 9, 4}, Rgb{0, 0, 0});  // wholly outside
        fillRect(buffer, PixelRect{4, 3, 2, 1}, Rgb{0, 0, 0});  // empty
        for (int32_t y = 0; y < 4; ++y) {
            for (int32_t x = 0; x < 6; ++x) {
                const bool inked = x < 3 && y >= 2;
                EXPECT_EQ(buffer.pixel(x, y), inked ? (Rgba{0, 0, 0, 255}) : kWhite)
                    << depth << " at " << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace korvane::media
