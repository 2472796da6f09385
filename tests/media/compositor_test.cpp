#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/media/compositor.h"
#include "tests/media/test_images.h"

namespace korvane::media {
namespace {

using testing::makePattern;
using testing::samePixels;

constexpr int kAllDepths[] = {kDepth1,  kDepth2,  kDepth4,     kDepth8,     kDepth16,
                              kDepth24, kDepth32, kDepthGrey2, kDepthGrey4, kDepthGrey8};
constexpr int kAllQualities[] = {kQualityMin, kQualityLow, kQualityNormal, kQualityHigh, kQualityMax, kQualityLossless};
constexpr Rgba kSentinel{1, 2, 3, 255};
constexpr Rgba kBlack{0, 0, 0, 255};
constexpr Rgba kWhite{255, 255, 255, 255};

Bitmap filled(int32_t w, int32_t h, int depth, Rgba colour) {
    Bitmap b;
    EXPECT_EQ(b.create(w, h, depth), kNoErr);
    b.fill(colour);
    return b;
}

// One-pixel black and white checkerboard.
Bitmap checkerboard(int32_t w, int32_t h) {
    Bitmap b = filled(w, h, kDepth32, kWhite);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = (y & 1); x < w; x += 2) {
            b.setPixel(x, y, kBlack);
        }
    }
    return b;
}

FixedMatrix scaled(double sx, double sy) {
    FixedMatrix m;
    m.scale(static_cast<Fixed>(sx * kFixedOne), static_cast<Fixed>(sy * kFixedOne), 0, 0);
    return m;
}

DrawParams withQuality(const FixedMatrix& m, int quality) {
    DrawParams p;
    p.matrix = m;
    p.quality = quality;
    return p;
}

TEST(Compositor, QualityLevelsPickTheirResampling) {
    struct Row {
        int quality;
        bool valid;
        Sampling sampling;
    };
    const Row rows[] = {
        {0, true, Sampling::nearest},        {256, true, Sampling::nearest},      {511, true, Sampling::nearest},
        {512, true, Sampling::bilinear},     {768, true, Sampling::bilinear},     {1022, true, Sampling::bilinear},
        {1023, true, Sampling::areaAverage}, {1024, true, Sampling::areaAverage}, {-1, false, Sampling::nearest},
        {1025, false, Sampling::nearest},
    };
    for (const Row& row : rows) {
        Sampling sampling = Sampling::nearest;
        EXPECT_EQ(samplingForQuality(row.quality, sampling), row.valid) << row.quality;
        if (row.valid) {
            EXPECT_EQ(sampling, row.sampling) << row.quality;
        }
    }
    EXPECT_EQ(DrawParams{}.quality, kQualityMax);
}

TEST(Compositor, IdentityCopiesEveryDepthExactly) {
    for (int depth : kAllDepths) {
        for (int quality : kAllQualities) {
            SCOPED_TRACE(::testing::Message() << "depth " << depth << " quality " << quality);
            Bitmap source = makePattern(13, 7, depth);
            Bitmap dest;
            ASSERT_EQ(dest.create(13, 7, depth), kNoErr);
            if (isIndexedDepth(depth)) {
                ASSERT_EQ(dest.setPalette(source.palette()), kNoErr);
            }
            ASSERT_EQ(drawBitmap(source, dest, withQuality(FixedMatrix{}, quality)), kNoErr);
            EXPECT_TRUE(samePixels(source, dest));
        }
    }
}

TEST(Compositor, EveryDepthDrawsIntoEveryDepth) {
    for (int from : kAllDepths) {
        Bitmap source = makePattern(9, 5, from);
        for (int to : kAllDepths) {
            SCOPED_TRACE(::testing::Message() << "from " << from << " to " << to);
            Bitmap dest;
            ASSERT_EQ(dest.create(9, 5, to), kNoErr);
            if (isIndexedDepth(to) && !isGreyDepth(to)) {
                // A palette that holds every colour of the source when it fits.
                std::vector<Rgb> colours;
                for (int32_t y = 0; y < 5 && colours.size() < (size_t{1} << bitsPerPixel(to)); ++y) {
                    for (int32_t x = 0; x < 9 && colours.size() < (size_t{1} << bitsPerPixel(to)); ++x) {
                        Rgba c = source.pixel(x, y);
                        colours.push_back(Rgb{c.red, c.green, c.blue});
                    }
                }
                ASSERT_EQ(dest.setPalette(colours), kNoErr);
            }
            ASSERT_EQ(drawBitmap(source, dest, DrawParams{}), kNoErr);
            int greyStep = isGreyDepth(to) ? 255 / ((1 << bitsPerPixel(to)) - 1) : 0;
            for (int32_t y = 0; y < 5; ++y) {
                for (int32_t x = 0; x < 9; ++x) {
                    Rgba s = source.pixel(x, y);
                    Rgba d = dest.pixel(x, y);
                    if (isGreyDepth(to)) {
                        int lum = (s.red * 77 + s.green * 150 + s.blue * 29 + 128) >> 8;
                        EXPECT_LE(std::abs(d.red - lum), greyStep / 2 + 1) << x << "," << y;
                    } else if (to == kDepth16) {
                        EXPECT_LE(std::abs(d.red - s.red) + std::abs(d.green - s.green) + std::abs(d.blue - s.blue), 12)
                            << x << "," << y;
                    } else if (!isIndexedDepth(to) || 9 * 5 <= (1 << bitsPerPixel(to))) {
                        EXPECT_EQ((Rgb{d.red, d.green, d.blue}), (Rgb{s.red, s.green, s.blue})) << x << "," << y;
                    }
                }
            }
        }
    }
}

TEST(Compositor, ClipAndDestinationBoundsLimitTheDrawing) {
    Bitmap source = filled(10, 10, kDepth24, kBlack);
    Bitmap dest = filled(20, 20, kDepth24, kSentinel);
    DrawParams params;
    params.matrix.translate(-3 * kFixedOne, 15 * kFixedOne);  // partly off the left and bottom
    params.hasClip = true;
    params.clip = PixelRect{2, 0, 30, 18};
    ASSERT_EQ(drawBitmap(source, dest, params), kNoErr);
    for (int32_t y = 0; y < 20; ++y) {
        for (int32_t x = 0; x < 20; ++x) {
            bool drawn = x >= 2 && x < 7 && y >= 15 && y < 18;
            EXPECT_EQ(dest.pixel(x, y), drawn ? kBlack : kSentinel) << x << "," << y;
        }
    }
}

TEST(Compositor, SourceRectangleCropsTheImage) {
    Bitmap source = makePattern(8, 8, kDepth32);
    Bitmap dest = filled(8, 8, kDepth32, kSentinel);
    DrawParams params;
    params.hasSourceRect = true;
    params.sourceRect = PixelRect{2, 3, 5, 100};
    ASSERT_EQ(drawBitmap(source, dest, params), kNoErr);
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 8; ++x) {
            bool inside = x >= 2 && x < 5 && y >= 3;
            EXPECT_EQ(dest.pixel(x, y), inside ? source.pixel(x, y) : kSentinel) << x << "," << y;
        }
    }
}

TEST(Compositor, RegionClipsRowByRow) {
    // Rows 0-3 hold [0, 4), rows 4-7 hold [0, 8): scan lines of inversion points.
    const uint8_t lines[] = {0, 0, 0, 0, 0, 4, 0x7F, 0xFF, 0, 4, 0, 4, 0, 8, 0x7F, 0xFF, 0x7F, 0xFF};
    pict::Region region;
    region.box = PictRect{0, 0, 8, 8};
    region.lines = lines;
    region.linesSize = sizeof lines;
    Bitmap source = filled(8, 8, kDepth32, kBlack);
    Bitmap dest = filled(10, 10, kDepth32, kSentinel);
    DrawParams params;
    params.clipRegion = &region;
    ASSERT_EQ(drawBitmap(source, dest, params), kNoErr);
    for (int32_t y = 0; y < 10; ++y) {
        for (int32_t x = 0; x < 10; ++x) {
            bool inside = y < 8 && x < (y < 4 ? 4 : 8);
            EXPECT_EQ(dest.pixel(x, y), inside ? kBlack : kSentinel) << x << "," << y;
        }
    }
}

TEST(Compositor, QuarterTurnsAndFlipsMovePixelsExactly) {
    Bitmap source = makePattern(6, 4, kDepth32);
    struct Row {
        const char* name;
        double degrees;
        bool flipH;
        int32_t destW, destH;
    };
    const Row rows[] = {
        {"right", 90, false, 4, 6}, {"half", 180, false, 6, 4}, {"left", 270, false, 4, 6}, {"flip", 0, true, 6, 4}};
    for (const Row& row : rows) {
        for (int quality : kAllQualities) {
            SCOPED_TRACE(::testing::Message() << row.name << " quality " << quality);
            FixedMatrix m;
            if (row.flipH) {
                m.scale(-kFixedOne, kFixedOne, 0, 0);
                m.translate(6 * kFixedOne, 0);
            } else {
                // Turn about the centre, then bring the turned box back to the origin.
                m.rotate(static_cast<Fixed>(row.degrees * kFixedOne), 3 * kFixedOne, 2 * kFixedOne);
                m.translate((row.destW - 6) * kFixedOne / 2, (row.destH - 4) * kFixedOne / 2);
            }
            Bitmap dest = filled(row.destW, row.destH, kDepth32, kSentinel);
            ASSERT_EQ(drawBitmap(source, dest, withQuality(m, quality)), kNoErr);
            for (int32_t y = 0; y < 4; ++y) {
                for (int32_t x = 0; x < 6; ++x) {
                    int32_t dx = x;
                    int32_t dy = y;
                    if (row.flipH) {
                        dx = 5 - x;
                    } else if (row.degrees == 90) {
                        dx = 3 - y, dy = x;
                    } else if (row.degrees == 180) {
                        dx = 5 - x, dy = 3 - y;
                    } else {
                        dx = y, dy = 5 - x;
                    }
                    EXPECT_EQ(dest.pixel(dx, dy), source.pixel(x, y)) << x << "," << y;
                }
            }
        }
    }
}

TEST(Compositor, NearestEnlargementRepeatsPixels) {
    Bitmap source = makePattern(5, 3, kDepth24);
    for (int depth : {kDepth24, kDepth32}) {
        SCOPED_TRACE(depth);
        Bitmap dest = filled(12, 7, depth, kSentinel);
        FixedMatrix m = scaled(2, 2);
        m.translate(kFixedOne, 0);
        ASSERT_EQ(drawBitmap(source, dest, withQuality(m, kQualityLow)), kNoErr);
        for (int32_t y = 0; y < 7; ++y) {
            for (int32_t x = 0; x < 12; ++x) {
                bool inside = x >= 1 && x < 11 && y < 6;
                EXPECT_EQ(dest.pixel(x, y), inside ? source.pixel((x - 1) / 2, y / 2) : kSentinel) << x << "," << y;
            }
        }
    }
}

TEST(Compositor, BilinearEnlargementBlendsNeighbours) {
    Bitmap source = filled(2, 1, kDepth24, kBlack);
    source.setPixel(1, 0, kWhite);
    Bitmap dest = filled(8, 1, kDepth24, kSentinel);
    ASSERT_EQ(drawBitmap(source, dest, withQuality(scaled(4, 1), kQualityNormal)), kNoErr);
    // Centres at source x = 0.125, 0.375, ... 1.875: flat at the edges, a ramp between.
    const int expected[8] = {0, 0, 32, 96, 159, 223, 255, 255};
    for (int32_t x = 0; x < 8; ++x) {
        EXPECT_NEAR(dest.pixel(x, 0).red, expected[x], 1) << x;
    }
}

TEST(Compositor, BilinearScalingOf32BitPixelsMatchesTheGeneralPath) {
    // 32-bit sources scaled along the axes take their own two-pass path; 24-bit ones the
    // general one. Both must agree within rounding, edges and flips included.
    Bitmap wide = makePattern(41, 29, kDepth32);
    Bitmap narrow;
    ASSERT_EQ(narrow.create(41, 29, kDepth24), kNoErr);
    for (int32_t y = 0; y < 29; ++y) {
        for (int32_t x = 0; x < 41; ++x) {
            narrow.setPixel(x, y, wide.pixel(x, y));
        }
    }
    const double factors[][2] = {{0.2, 0.3},  {0.45, 0.7}, {0.8, 1},    {1.3, 2.7},
                                 {-0.6, 1.4}, {3, -0.25},  {1.5, -1.7}, {-0.3, 0.5}};
    for (const auto& f : factors) {
        SCOPED_TRACE(::testing::Message() << f[0] << " x " << f[1]);
        FixedMatrix m = scaled(f[0], f[1]);
        m.translate(static_cast<Fixed>(60.3 * kFixedOne), static_cast<Fixed>(40.6 * kFixedOne));
        Bitmap fromWide = filled(130, 120, kDepth32, kSentinel);
        Bitmap fromNarrow = filled(130, 120, kDepth32, kSentinel);
        ASSERT_EQ(drawBitmap(wide, fromWide, withQuality(m, kQualityHigh)), kNoErr);
        ASSERT_EQ(drawBitmap(narrow, fromNarrow, withQuality(m, kQualityHigh)), kNoErr);
        for (int32_t y = 0; y < 120; ++y) {
            for (int32_t x = 0; x < 130; ++x) {
                Rgba a = fromWide.pixel(x, y);
                Rgba b = fromNarrow.pixel(x, y);
                ASSERT_EQ(a == kSentinel, b == kSentinel) << x << "," << y;
                ASSERT_LE(std::abs(a.red - b.red), 1) << x << "," << y;
                ASSERT_LE(std::abs(a.green - b.green), 1) << x << "," << y;
                ASSERT_LE(std::abs(a.blue - b.blue), 1) << x << "," << y;
            }
        }
    }
}

TEST(Compositor, TransparentPixelsDoNotTintTheirNeighbours) {
    // Opaque red beside fully transparent black: blending must keep the edge red, fading
    // only its alpha.
    Bitmap source;
    ASSERT_EQ(source.create(2, 2, kDepth32), kNoErr);
    source.setHasAlpha(true);
    for (int32_t y = 0; y < 2; ++y) {
        source.setPixel(0, y, Rgba{255, 0, 0, 255});
        source.setPixel(1, y, Rgba{0, 0, 0, 0});
    }
    for (int quality : {kQualityNormal, kQualityMax}) {
        for (double factor : {0.5, 4.0}) {
            SCOPED_TRACE(::testing::Message() << "quality " << quality << " scale " << factor);
            auto size = static_cast<int32_t>(2 * factor);
            Bitmap dest;
            ASSERT_EQ(dest.create(size, size, kDepth32), kNoErr);
            dest.setHasAlpha(true);
            ASSERT_EQ(drawBitmap(source, dest, withQuality(scaled(factor, factor), quality)), kNoErr);
            for (int32_t x = 0; x < size; ++x) {
                Rgba p = dest.pixel(x, 0);
                if (p.alpha > 0) {
                    EXPECT_EQ((Rgb{p.red, p.green, p.blue}), (Rgb{255, 0, 0})) << x << " alpha " << int{p.alpha};
                }
            }
            if (size == 1) {
                EXPECT_NEAR(dest.pixel(0, 0).alpha, 128, 1);
            } else {
                EXPECT_EQ(dest.pixel(0, 0).alpha, 255);
                EXPECT_EQ(dest.pixel(size - 1, 0).alpha, 0);
            }
        }
    }
}

TEST(Compositor, MaxQualityAveragesShrunkenCheckerboards) {
    struct Row {
        double factor;
        int quality;
        int low;
        int high;
    };
    const Row rows[] = {
        {2, kQualityMax, 127, 128}, {2, kQualityLossless, 127, 128}, {4, kQualityMax, 127, 128},
        {3, kQualityMax, 113, 142}, {2.5, kQualityMax, 100, 155},    {7.3, kQualityMax, 120, 135},
        {2, kQualityMin, 0, 255},  // nearest: black or white, never grey
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.factor << ":1 quality " << row.quality);
        Bitmap source = checkerboard(60, 60);
        auto size = static_cast<int32_t>(60 / row.factor);
        Bitmap dest = filled(size, size, kDepth32, kSentinel);
        ASSERT_EQ(drawBitmap(source, dest, withQuality(scaled(1 / row.factor, 1 / row.factor), row.quality)), kNoErr);
        for (int32_t y = 0; y < size; ++y) {
            for (int32_t x = 0; x < size; ++x) {
                int level = dest.pixel(x, y).red;
                if (row.quality == kQualityMin) {
                    EXPECT_TRUE(level == 0 || level == 255) << x << "," << y << " " << level;
                } else {
                    EXPECT_GE(level, row.low) << x << "," << y;
                    EXPECT_LE(level, row.high) << x << "," << y;
                }
            }
        }
    }
}

TEST(Compositor, MaxQualityAveragesRotatedShrinks) {
    Bitmap source = checkerboard(90, 90);
    Bitmap dest = filled(40, 40, kDepth32, kSentinel);
    FixedMatrix m = scaled(0.3, 0.3);
    m.rotate(30 * kFixedOne, 13 * kFixedOne, 13 * kFixedOne);
    m.translate(5 * kFixedOne, 5 * kFixedOne);
    ASSERT_EQ(drawBitmap(source, dest, withQuality(m, kQualityMax)), kNoErr);
    int drawn = 0;
    for (int32_t y = 0; y < 40; ++y) {
        for (int32_t x = 0; x < 40; ++x) {
            Rgba p = dest.pixel(x, y);
            if (p != kSentinel) {
                ++drawn;
                EXPECT_NEAR(p.red, 127.5, 30) << x << "," << y;
            }
        }
    }
    EXPECT_NEAR(drawn, 27 * 27, 60);
}

TEST(Compositor, FlatColourStaysFlatThroughAnyMatrixAndQuality) {
    Bitmap source = filled(37, 23, kDepth24, Rgba{200, 100, 7, 255});
    const double angles[] = {0, 17, 90, 200};
    const double scales[] = {0.13, 0.7, 1, 1.6, 5};
    for (double angle : angles) {
        for (double s : scales) {
            for (int quality : kAllQualities) {
                SCOPED_TRACE(::testing::Message() << "angle " << angle << " scale " << s << " quality " << quality);
                FixedMatrix m = scaled(s, s * 1.1);
                m.rotate(static_cast<Fixed>(angle * kFixedOne), 0, 0);
                m.translate(30 * kFixedOne, 30 * kFixedOne);
                Bitmap dest = filled(60, 60, kDepth24, kSentinel);
                ASSERT_EQ(drawBitmap(source, dest, withQuality(m, quality)), kNoErr);
                for (int32_t y = 0; y < 60; ++y) {
                    for (int32_t x = 0; x < 60; ++x) {
                        Rgba p = dest.pixel(x, y);
                        ASSERT_TRUE(p == kSentinel || p == (Rgba{200, 100, 7, 255})) << x << "," << y;
                    }
                }
            }
        }
    }
}

TEST(Compositor, ImpossibleRequestsAreRefusedAndDrawNothing) {
    Bitmap source = filled(4, 4, kDepth24, kBlack);
    struct Row {
        const char* name;
        DrawParams params;
        Status expected;
    };
    DrawParams perspective;
    perspective.matrix.m[1][2] = kFractOne / 8;
    DrawParams badQuality;
    badQuality.quality = 2000;
    DrawParams badMode;
    badMode.mode = 8;
    DrawParams tooSteep;
    tooSteep.matrix = scaled(1.0 / 65536, 1);
    tooSteep.matrix.m[0][0] = 0;
    tooSteep.matrix.m[0][1] = 1;  // shear of 1/65536 with no scale: steps beyond the limit
    tooSteep.matrix.m[1][0] = 1;
    DrawParams singular;
    singular.matrix = scaled(0, 1);
    DrawParams farAway;
    farAway.matrix.translate(30000 * kFixedOne, -30000 * kFixedOne);
    DrawParams emptyClip;
    emptyClip.hasClip = true;
    emptyClip.clip = PixelRect{5, 5, 2, 9};
    const Row rows[] = {
        {"perspective", perspective, kParamErr}, {"quality", badQuality, kParamErr}, {"mode", badMode, kParamErr},
        {"too steep", tooSteep, kParamErr},      {"singular", singular, kNoErr},     {"far away", farAway, kNoErr},
        {"empty clip", emptyClip, kNoErr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Bitmap dest = filled(8, 8, kDepth24, kSentinel);
        EXPECT_EQ(drawBitmap(source, dest, row.params), row.expected);
        Bitmap untouched = filled(8, 8, kDepth24, kSentinel);
        EXPECT_TRUE(samePixels(untouched, dest));
    }
    Bitmap empty;
    Bitmap dest = filled(8, 8, kDepth24, kSentinel);
    EXPECT_EQ(drawBitmap(empty, dest, DrawParams{}), kParamErr);
    EXPECT_EQ(drawBitmap(source, empty, DrawParams{}), kParamErr);
    EXPECT_EQ(drawBitmap(dest, dest, DrawParams{}), kParamErr);
}

TEST(Compositor, HugeEnlargementOnlyVisitsTheDestination) {
    Bitmap source = makePattern(3, 3, kDepth8);
    Bitmap dest = filled(50, 40, kDepth32, kSentinel);
    FixedMatrix m = scaled(30000, 30000);                         // 90000 pixels a side, clipped to 50 x 40
    const auto shift = static_cast<Fixed>(-14999.5 * kFixedOne);  // centre (0.5, 0.5) of the destination
    m.translate(shift, shift);                                    // shows the centre of source pixel (0, 0)
    for (int quality : kAllQualities) {
        SCOPED_TRACE(quality);
        ASSERT_EQ(drawBitmap(source, dest, withQuality(m, quality)), kNoErr);
        EXPECT_EQ(dest.pixel(0, 0), source.pixel(0, 0));
        EXPECT_EQ(dest.pixel(49, 39), source.pixel(0, 0));
    }
}

}  // namespace
}  // namespace korvane::media
