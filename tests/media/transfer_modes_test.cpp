// Transfer modes: hand-computed values check the rule table itself; sweeps over every source
// and destination level check that the compositor applies each rule as the table states it.

#include <gtest/gtest.h>

#include <string>

#include "platform/media/compositor.h"
#include "platform/media/transfer_modes.h"

namespace korvane::media {
namespace {

constexpr int kLevels = 256;

struct HandValue {
    int mode;
    int source;
    int dest;
    int op;
    int sourceAlpha;
    int expected;
};

// Worked out by hand from what each mode is documented to do.
constexpr HandValue kHandValues[] = {
    // Boolean modes: black (0) is ink. srcOr paints black ink and keeps the rest.
    {kModeSrcCopy, 17, 200, 0x8000, 255, 17},
    {kModeSrcOr, 0, 200, 0x8000, 255, 0},
    {kModeSrcOr, 255, 200, 0x8000, 255, 200},
    {kModeSrcOr, 0xF0, 0x3C, 0x8000, 255, 0x30},
    {kModeSrcXor, 0, 200, 0x8000, 255, 55},  // black inverts
    {kModeSrcXor, 255, 200, 0x8000, 255, 200},
    {kModeSrcBic, 0, 20, 0x8000, 255, 255},  // black clears to white
    {kModeSrcBic, 255, 20, 0x8000, 255, 20},
    {kModeNotSrcCopy, 17, 200, 0x8000, 255, 238},
    {kModeNotSrcOr, 255, 200, 0x8000, 255, 0},  // white source paints black
    {kModeNotSrcOr, 0, 200, 0x8000, 255, 200},
    {kModeNotSrcXor, 255, 200, 0x8000, 255, 55},
    {kModeNotSrcXor, 0, 200, 0x8000, 255, 200},
    {kModeNotSrcBic, 255, 20, 0x8000, 255, 255},
    {kModeNotSrcBic, 0, 20, 0x8000, 255, 20},
    // Arithmetic modes.
    {kModeBlend, 200, 100, 0x8000, 255, 150},
    {kModeBlend, 255, 0, 0xFFFF, 255, 255},
    {kModeBlend, 255, 0, 0, 255, 0},
    {kModeBlend, 255, 0, 0x4000, 255, 64},
    {kModeAddPin, 100, 100, 0xFFFF, 255, 200},
    {kModeAddPin, 100, 100, 0x8000, 255, 128},
    {kModeAddOver, 200, 100, 0x8000, 255, 44},
    {kModeSubPin, 30, 100, 0x0000, 255, 70},
    {kModeSubPin, 90, 100, 0x2000, 255, 32},
    {kModeTransparent, 9, 100, 0x8000, 255, 9},
    {kModeAddMax, 30, 100, 0x8000, 255, 100},
    {kModeSubOver, 30, 100, 0x8000, 255, 70},
    {kModeSubOver, 100, 30, 0x8000, 255, 186},
    {kModeAddMin, 30, 100, 0x8000, 255, 30},
    {kModeGrayishTextOr, 0, 10, 0x8000, 255, 128},
    {kModeHilite, 0, 255, 0x8000, 255, 128},
    {kModeHilite, 0, 128, 0x8000, 255, 255},
    {kModeHilite, 0, 77, 0x8000, 255, 77},
    {kModeDitherCopy, 17, 200, 0x8000, 255, 17},
    // Alpha modes, with source alpha.
    {kModeStraightAlpha, 200, 100, 0x8000, 255, 200},
    {kModeStraightAlpha, 200, 100, 0x8000, 0, 100},
    {kModeStraightAlpha, 255, 0, 0x8000, 51, 51},
    {kModePreWhiteAlpha, 255, 0, 0x8000, 0, 0},       // all white padding: the destination shows
    {kModePreWhiteAlpha, 153, 100, 0x8000, 102, 60},  // 0 x 0.4 + white x 0.6, over 100
    {kModePreBlackAlpha, 0, 100, 0x8000, 0, 100},
    {kModePreBlackAlpha, 102, 100, 0x8000, 102, 162},  // 255 x 0.4, over 100 x 0.6
    {kModeComposition, 255, 0, 0x8000, 51, 51},
    {kModeStraightAlphaBlend, 255, 0, 0x8000, 255, 128},
    {kModeStraightAlphaBlend, 255, 0, 0xFFFF, 51, 51},
    {kModePreMulColorAlpha, 128, 100, 0x8000, 0, 100},  // all operation colour: the destination
    {kModePreMulColorAlpha, 179, 0, 0x8000, 102, 102},  // 255 x 0.4 + 128 x 0.6 over 0
};

TEST(TransferModes, TableGivesHandComputedValues) {
    for (const HandValue& v : kHandValues) {
        const TransferRule* rule = findTransferRule(v.mode);
        ASSERT_NE(rule, nullptr) << v.mode;
        ChannelInput in{v.source, v.dest, v.op, v.sourceAlpha, 255};
        EXPECT_EQ(rule->channel(in), v.expected) << rule->name << " source " << v.source << " dest " << v.dest << " op "
                                                 << v.op << " alpha " << v.sourceAlpha;
    }
}

TEST(TransferModes, EveryPlatformModeIsInTheTableOnce) {
    const int modes[] = {0,  1,  2,  3,  4,  5,  6,   7,   32,  33,  34,  35, 36,
                         37, 38, 39, 49, 50, 64, 256, 257, 258, 259, 260, 261};
    EXPECT_EQ(transferRules().size(), std::size(modes));
    for (int mode : modes) {
        EXPECT_NE(findTransferRule(mode), nullptr) << mode;
        EXPECT_NE(spanCombiner(mode), nullptr) << mode;
    }
    EXPECT_EQ(findTransferRule(8), nullptr);
    EXPECT_EQ(spanCombiner(40), nullptr);
}

// The source's channels: blue = s, green = 7 s, red = 255 - s (mod 256), so every channel
// meets every level of the destination, which does the same with 13 d.
uint32_t sourceWord(int s, int alpha) {
    return static_cast<uint32_t>(alpha) << 24 | static_cast<uint32_t>(255 - s) << 16 |
           static_cast<uint32_t>((7 * s) & 255) << 8 | static_cast<uint32_t>(s);
}
uint32_t destWord(int d) {
    return 0xFF000000u | static_cast<uint32_t>(255 - d) << 16 | static_cast<uint32_t>((13 * d) & 255) << 8 |
           static_cast<uint32_t>(d);
}

void putWord(Bitmap& b, int32_t x, int32_t y, uint32_t w) {
    b.setPixel(x, y,
               Rgba{static_cast<uint8_t>(w >> 16), static_cast<uint8_t>(w >> 8), static_cast<uint8_t>(w),
                    static_cast<uint8_t>(w >> 24)});
}

// Draws the sweep for one rule and alpha; returns the number of wrong channels, with the
// first described in firstError.
int sweep(const TransferRule& rule, int alpha, const OpColor& op, std::string& firstError) {
    Bitmap source;
    Bitmap dest;
    EXPECT_EQ(source.create(kLevels, kLevels, kDepth32), kNoErr);
    EXPECT_EQ(dest.create(kLevels, kLevels, kDepth32), kNoErr);
    source.setHasAlpha(true);
    for (int y = 0; y < kLevels; ++y) {
        for (int x = 0; x < kLevels; ++x) {
            putWord(source, x, y, sourceWord(y, alpha));
            putWord(dest, x, y, destWord(x));
        }
    }
    DrawParams params;
    params.mode = rule.mode;
    params.opColor = op;
    EXPECT_EQ(drawBitmap(source, dest, params), kNoErr);
    const int ops[3] = {op.blue, op.green, op.red};
    int errors = 0;
    for (int y = 0; y < kLevels; ++y) {
        for (int x = 0; x < kLevels; ++x) {
            uint32_t s = sourceWord(y, alpha);
            uint32_t d = destWord(x);
            Rgba got = dest.pixel(x, y);
            const int gotChannels[3] = {got.blue, got.green, got.red};
            for (int c = 0; c < 3; ++c) {
                ChannelInput in{static_cast<int>((s >> (8 * c)) & 0xFF), static_cast<int>((d >> (8 * c)) & 0xFF),
                                ops[c], alpha, 255};
                int expected = rule.channel(in);
                if (gotChannels[c] != expected && errors++ == 0) {
                    firstError = std::string(rule.name) + " alpha " + std::to_string(alpha) + " channel " +
                                 std::to_string(c) + " source " + std::to_string(in.source) + " dest " +
                                 std::to_string(in.dest) + ": " + std::to_string(gotChannels[c]) + ", expected " +
                                 std::to_string(expected);
                }
            }
        }
    }
    return errors;
}

TEST(TransferModes, CompositorAppliesEachRuleOverFullSweeps) {
    const OpColor op{0x8000, 0x4020, 0xC0FF};
    const int alphas[] = {0, 1, 77, 128, 254, 255};
    for (const TransferRule& rule : transferRules()) {
        bool usesAlpha = rule.alpha == AlphaResult::over;
        for (int alpha : alphas) {
            if (!usesAlpha && alpha != 255) {
                continue;
            }
            std::string firstError;
            EXPECT_EQ(sweep(rule, alpha, op, firstError), 0) << firstError;
        }
    }
}

TEST(TransferModes, SkippedSourcePixelsLeaveTheDestination) {
    struct Row {
        int mode;
        Rgba source;
        bool skipped;
    };
    const Row rows[] = {
        {kModeTransparent, Rgba{0x80, 0x40, 0xC0, 255}, true},  // the operation colour
        {kModeTransparent, Rgba{0x80, 0x40, 0xC1, 255}, false},
        {kModeGrayishTextOr, Rgba{255, 255, 255, 255}, true},
        {kModeGrayishTextOr, Rgba{0, 0, 0, 255}, false},
        {kModeHilite, Rgba{255, 255, 255, 255}, true},
        {kModeHilite, Rgba{0, 0, 0, 255}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mode);
        Bitmap source;
        Bitmap dest;
        ASSERT_EQ(source.create(1, 1, kDepth24), kNoErr);
        ASSERT_EQ(dest.create(1, 1, kDepth24), kNoErr);
        source.setPixel(0, 0, row.source);
        dest.setPixel(0, 0, Rgba{255, 255, 255, 255});
        DrawParams params;
        params.mode = row.mode;
        params.opColor = OpColor{0x80FF, 0x4000, 0xC012};
        ASSERT_EQ(drawBitmap(source, dest, params), kNoErr);
        EXPECT_EQ(dest.pixel(0, 0) == (Rgba{255, 255, 255, 255}), row.skipped);
    }
}

TEST(TransferModes, BlendAtTheDefaultColourIsAnEvenMix) {
    Bitmap source;
    Bitmap dest;
    ASSERT_EQ(source.create(1, 1, kDepth24), kNoErr);
    ASSERT_EQ(dest.create(1, 1, kDepth24), kNoErr);
    source.setPixel(0, 0, Rgba{255, 0, 100, 255});
    dest.setPixel(0, 0, Rgba{0, 255, 201, 255});
    DrawParams params;
    params.mode = kModeBlend;
    ASSERT_EQ(drawBitmap(source, dest, params), kNoErr);
    Rgba mixed = dest.pixel(0, 0);
    EXPECT_NEAR(mixed.red, 127.5, 1);
    EXPECT_NEAR(mixed.green, 127.5, 1);
    EXPECT_NEAR(mixed.blue, 150.5, 1);
}

TEST(TransferModes, AlphaModesCombineTheDestinationAlpha) {
    Bitmap source;
    Bitmap dest;
    ASSERT_EQ(source.create(1, 1, kDepth32), kNoErr);
    ASSERT_EQ(dest.create(1, 1, kDepth32), kNoErr);
    source.setHasAlpha(true);
    dest.setHasAlpha(true);
    source.setPixel(0, 0, Rgba{255, 0, 0, 128});
    dest.setPixel(0, 0, Rgba{0, 0, 255, 128});
    DrawParams params;
    params.mode = kModeComposition;
    ASSERT_EQ(drawBitmap(source, dest, params), kNoErr);
    Rgba over = dest.pixel(0, 0);
    // alpha 0.5 + 0.5 x 0.5 = 0.75; red 0.5 / 0.75 of the source's, blue 0.25 / 0.75 of the dest's.
    EXPECT_NEAR(over.alpha, 191, 1);
    EXPECT_NEAR(over.red, 170, 1);
    EXPECT_NEAR(over.blue, 85, 1);
}

TEST(TransferModes, DitherCopySpreadsTheLevelsOfAFlatColour) {
    Bitmap source;
    ASSERT_EQ(source.create(8, 8, kDepth24), kNoErr);
    source.fill(Rgba{136, 136, 136, 255});  // half-way between two 5-bit levels (132 and 140)
    for (int mode : {kModeSrcCopy, kModeDitherCopy}) {
        SCOPED_TRACE(mode);
        Bitmap dest;
        ASSERT_EQ(dest.create(8, 8, kDepth16), kNoErr);
        DrawParams params;
        params.mode = mode;
        ASSERT_EQ(drawBitmap(source, dest, params), kNoErr);
        int sum = 0;
        for (int32_t y = 0; y < 8; ++y) {
            for (int32_t x = 0; x < 8; ++x) {
                sum += dest.pixel(x, y).red;
            }
        }
        if (mode == kModeDitherCopy) {
            EXPECT_NEAR(sum / 64.0, 136, 1.5);
        } else {
            EXPECT_EQ(sum, 64 * 140);  // every pixel the level above
        }
    }
}

}  // namespace
}  // namespace korvane::media
