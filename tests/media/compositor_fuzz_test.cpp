// The compositor on thousands of deterministic random drawings: random depths, sizes,
// matrices (from plain moves to extreme scales, shears and raw entries), clips, regions,
// qualities and modes. Every drawing must give a known status, touch no pixel outside the
// clip (checked against a copy), and stay inside its buffers (the sanitizers watch).

#include <gtest/gtest.h>

#include <cstring>

#include "platform/media/compositor.h"
#include "tests/media/test_images.h"
#include "tests/support/seeded_random.h"

namespace korvane::media {
namespace {

constexpr int kDrawings = 3000;
constexpr int kDepths[] = {kDepth1,  kDepth2,  kDepth4,     kDepth8,     kDepth16,
                           kDepth24, kDepth32, kDepthGrey2, kDepthGrey4, kDepthGrey8};

using Rng = test::SeededRandom;

Fixed randomFixed(Rng& rng, double lo, double hi) {
    return static_cast<Fixed>(rng.uniform(lo, hi) * kFixedOne);
}

int32_t randomSide(Rng& rng) {
    switch (rng.below(8)) {
        case 0:
            return 1;
        case 1:
            return rng.between(200, 700);  // long thin images
        default:
            return rng.between(1, 40);
    }
}

FixedMatrix randomMatrix(Rng& rng) {
    FixedMatrix m;
    int steps = static_cast<int>(rng.below(4));
    for (int i = 0; i < steps; ++i) {
        switch (rng.below(7)) {
            case 0:
                m.translate(randomFixed(rng, -60, 60), randomFixed(rng, -60, 60));
                break;
            case 1:
                m.translate(randomFixed(rng, -32000, 32000), randomFixed(rng, -32000, 32000));
                break;
            case 2:
                m.scale(randomFixed(rng, -4, 4), randomFixed(rng, -4, 4), randomFixed(rng, -20, 20),
                        randomFixed(rng, -20, 20));
                break;
            case 3: {
                // Extreme scales: tiny, huge, or exactly zero.
                static constexpr Fixed kScales[] = {
                    0, 1, 2, 100, kFixedOne / 1000, 3000 * kFixedOne, 32767 * kFixedOne, -kFixedOne};
                m.scale(kScales[rng.below(std::size(kScales))], kScales[rng.below(std::size(kScales))], 0, 0);
                break;
            }
            case 4:
                m.rotate(randomFixed(rng, -720, 720), randomFixed(rng, -20, 40), randomFixed(rng, -20, 40));
                break;
            case 5:
                m.rotate(static_cast<Fixed>(rng.below(4) * 90) * kFixedOne, randomFixed(rng, 0, 20),
                         randomFixed(rng, 0, 20));
                break;
            default:
                // A raw entry, perspective included.
                m.m[rng.below(3)][rng.below(3)] = static_cast<int32_t>(rng.next());
                break;
        }
    }
    return m;
}

Bitmap randomBitmap(Rng& rng) {
    int depth = kDepths[rng.below(std::size(kDepths))];
    bool alpha = depth == kDepth32 && rng.below(2);
    int paletteSize =
        isIndexedDepth(depth) && !isGreyDepth(depth) ? static_cast<int>(rng.below(1u << bitsPerPixel(depth)) + 1) : 0;
    return testing::makePattern(randomSide(rng), randomSide(rng), depth, alpha, paletteSize);
}

TEST(CompositorFuzz, RandomDrawingsStayInsideTheirClip) {
    Rng rng(0x636F6D706F736974ULL);
    static constexpr int kQualities[] = {0, 256, 512, 768, 1023, 1024, 1025, -1};
    // A region of two rectangles stacked: rows 0-9 hold [0, 10), rows 10-19 hold [5, 20).
    static constexpr uint8_t kLines[] = {0,  0, 0,  0,    0,    10, 0x7F, 0xFF, 0, 10, 0,  0,    0,    5,    0,
                                         10, 0, 20, 0x7F, 0xFF, 0,  20,   0,    5, 0,  20, 0x7F, 0xFF, 0x7F, 0xFF};
    int drawn = 0;
    int refused = 0;
    for (int i = 0; i < kDrawings; ++i) {
        Bitmap source = randomBitmap(rng);
        Bitmap dest = randomBitmap(rng);
        DrawParams params;
        params.matrix = randomMatrix(rng);
        params.quality = kQualities[rng.below(std::size(kQualities))];
        auto rules = transferRules();
        params.mode = rng.below(20) == 0 ? 99 : rules[rng.below(static_cast<uint32_t>(rules.size()))].mode;
        params.opColor = OpColor{static_cast<uint16_t>(rng.next()), static_cast<uint16_t>(rng.next()),
                                 static_cast<uint16_t>(rng.next())};
        params.hasSourceRect = rng.below(4) == 0;
        params.sourceRect =
            PixelRect{rng.between(-5, 20), rng.between(-5, 20), rng.between(-5, 40), rng.between(-5, 40)};
        params.hasClip = rng.below(2) == 0;
        params.clip =
            PixelRect{rng.between(-50, 30), rng.between(-50, 30), rng.between(-10, 800), rng.between(-10, 800)};
        pict::Region region;
        region.box = PictRect{0, 0, 20, 20};
        region.lines = kLines;
        region.linesSize = sizeof kLines;
        if (rng.below(6) == 0) {
            params.clipRegion = &region;
        }

        std::vector<uint8_t> before(dest.byteSize());
        std::memcpy(before.data(), dest.row(0), dest.byteSize());
        Status status = drawBitmap(source, dest, params);
        ASSERT_TRUE(status == kNoErr || status == kParamErr) << "drawing " << i << " status " << status;
        if (status == kParamErr) {
            ++refused;
            ASSERT_EQ(std::memcmp(before.data(), dest.row(0), dest.byteSize()), 0) << "drawing " << i;
            continue;
        }
        ++drawn;
        // Nothing outside the clip (and the region's box) may change.
        PixelRect allowed{0, 0, dest.width(), dest.height()};
        if (params.hasClip) {
            allowed = intersectRects(allowed, params.clip);
        }
        if (params.clipRegion) {
            allowed = intersectRects(allowed, PixelRect{0, 0, 20, 20});
        }
        const int bits = bitsPerPixel(dest.depth());
        for (int32_t y = 0; y < dest.height(); ++y) {
            const uint8_t* was = before.data() + dest.stride() * static_cast<size_t>(y);
            const uint8_t* now = dest.row(y);
            for (int32_t x = 0; x < dest.width(); ++x) {
                bool inside = x >= allowed.left && x < allowed.right && y >= allowed.top && y < allowed.bottom;
                if (params.clipRegion && inside) {
                    inside = y < 10 ? x < 10 : x >= 5;
                }
                if (inside) {
                    continue;
                }
                size_t first = static_cast<size_t>(x) * static_cast<size_t>(bits) / 8;
                size_t last = (static_cast<size_t>(x + 1) * static_cast<size_t>(bits) - 1) / 8;
                for (size_t b = first; b <= last; ++b) {
                    uint8_t mask = 0xFF;
                    if (bits < 8) {
                        int shift =
                            8 - bits - static_cast<int>((static_cast<size_t>(x) * static_cast<size_t>(bits)) % 8);
                        mask = static_cast<uint8_t>(((1u << bits) - 1) << shift);
                    }
                    ASSERT_EQ(was[b] & mask, now[b] & mask)
                        << "drawing " << i << " changed " << x << "," << y << " outside the clip";
                }
            }
        }
    }
    // The mix must exercise both outcomes.
    EXPECT_GT(drawn, kDrawings / 2);
    EXPECT_GT(refused, 0);
    std::printf("compositor fuzz: %d drawings, %d drawn, %d refused\n", kDrawings, drawn, refused);
}

}  // namespace
}  // namespace korvane::media
