// The image operations and placement of the drawing commands: what each argument does to
// the plan's matrix, checked by where the image's corners land. Portable.

#include <gtest/gtest.h>

#include <string>

#include "image/image_operations.h"
#include "image/placement.h"
#include "platform/media/offscreen.h"
#include "tests/support/parameter_text.h"
#include "tests/support/seeded_random.h"

namespace korvane {
namespace {

using media::FixedRect;
using media::intToFixed;
using media::PixelRect;

// Bounds in whole pixels (rounded), for readable expectations.
struct Box {
    int32_t left, top, right, bottom;
    friend bool operator==(const Box&, const Box&) = default;
};
std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << b.left << "," << b.top << "," << b.right << "," << b.bottom;
}
Box boxOf(const FixedRect& r) {
    return Box{media::fixedRound(r.left), media::fixedRound(r.top), media::fixedRound(r.right),
               media::fixedRound(r.bottom)};
}

// The plan of a width x height image after the operations of `arguments`.
Status planFor(const std::string& arguments, int32_t width, int32_t height, DrawPlan& plan) {
    test::ParameterText text(arguments);
    plan = initialPlan(width, height);
    return applyImageOperations(readImageOperations(text, plan), plan);
}

Box boundsAfter(const std::string& arguments, int32_t width, int32_t height) {
    DrawPlan plan;
    EXPECT_EQ(planFor(arguments, width, height, plan), kNoErr) << arguments;
    FixedRect bounds;
    EXPECT_TRUE(planBounds(plan, bounds)) << arguments;
    return boxOf(bounds);
}

// Where the image's pixel corner (x, y) lands.
std::pair<int32_t, int32_t> mapped(const DrawPlan& plan, int32_t x, int32_t y) {
    media::Fixed fx = intToFixed(x);
    media::Fixed fy = intToFixed(y);
    EXPECT_TRUE(media::transformPoint(plan.matrix, fx, fy));
    return {media::fixedRound(fx), media::fixedRound(fy)};
}

TEST(ImageOperations, AnglesComeIntoOneTurn) {
    const struct {
        int32_t given, expected;
    } rows[] = {{0, 0}, {90, 90}, {360, 0}, {450, 90}, {-1, 359}, {-90, 270}, {-360, 0}, {725, 5}, {-725, 355}};
    for (const auto& row : rows) {
        EXPECT_EQ(normalizeDegrees(row.given), row.expected) << row.given;
    }
}

TEST(ImageOperations, KeywordsGiveThePlatformsNumbers) {
    const struct {
        const char* arguments;
        int quality, mode;
    } rows[] = {
        {"", media::kDefaultQuality, media::kModeSrcCopy},
        {"QUALITY=MIN GRAPHICSMODE=SRCCOPY", 0, 0},
        {"QUALITY=low GRAPHICSMODE=NOTSRCBIC", 256, 7},
        {"QUALITY=NORMAL GRAPHICSMODE=blend", 512, 32},
        {"QUALITY=HIGH GRAPHICSMODE=adMin", 768, 39},
        {"QUALITY=MAX GRAPHICSMODE=StraightAlpha", 1023, 256},
        {"QUALITY=LOSSLESS GRAPHICSMODE=PreMulColorAlpha", 1024, 261},
        {"GRAPHICSMODE=grayishTextOr", media::kDefaultQuality, 49},
        {"GRAPHICSMODE=hilite", media::kDefaultQuality, 50},
        {"GRAPHICSMODE=ditherCopy", media::kDefaultQuality, 64},
        {"GRAPHICSMODE=addMax", media::kDefaultQuality, 37},
        {"GRAPHICSMODE=addMin", media::kDefaultQuality, 39},
        {"QUALITY=BEST GRAPHICSMODE=paint", media::kDefaultQuality, 0},
    };
    for (const auto& row : rows) {
        DrawPlan plan;
        ASSERT_EQ(planFor(row.arguments, 10, 10, plan), kNoErr) << row.arguments;
        EXPECT_EQ(plan.quality, row.quality) << row.arguments;
        EXPECT_EQ(plan.mode, row.mode) << row.arguments;
    }
}

TEST(ImageOperations, OperationColourDefaultsToHalf) {
    DrawPlan plan;
    ASSERT_EQ(planFor("GRAPHICSMODE=blend", 10, 10, plan), kNoErr);
    EXPECT_EQ(plan.opColor.red, 0x8000);
    EXPECT_EQ(plan.opColor.green, 0x8000);
    EXPECT_EQ(plan.opColor.blue, 0x8000);
    ASSERT_EQ(planFor("GRAPHICSMODE=blend OPCOLOR=#FF4000", 10, 10, plan), kNoErr);
    EXPECT_EQ(plan.opColor.red, 0xFFFF);
    EXPECT_EQ(plan.opColor.green, 0x4040);
    EXPECT_EQ(plan.opColor.blue, 0);
    ASSERT_EQ(planFor("GRAPHICSMODE=blend OPCOLOR=nonsense", 10, 10, plan), kNoErr);
    EXPECT_EQ(plan.opColor.red, 0x8000);
}

TEST(ImageOperations, TrimKeepsTheOverlapOrFails) {
    DrawPlan plan;
    ASSERT_EQ(planFor("TRIMRECT=150,10,400,40", 200, 50, plan), kNoErr);
    EXPECT_EQ(plan.sourceRect, (PixelRect{150, 10, 200, 40}));
    // Percentages are of the trimmed size.
    EXPECT_EQ(boundsAfter("TRIMRECT=0,0,100,50 WIDTH=50%", 200, 50), (Box{0, 0, 50, 50}));
    EXPECT_EQ(planFor("TRIMRECT=300,0,400,50", 200, 50, plan), kParamErr);
    EXPECT_EQ(planFor("TRIMRECT=-20,-20,0,0", 200, 50, plan), kParamErr);
}

TEST(ImageOperations, ResizeFlipAndRotateMoveTheCorners) {
    const struct {
        const char* arguments;
        Box bounds;
        std::pair<int32_t, int32_t> topLeftGoesTo;
    } rows[] = {
        {"", {0, 0, 200, 50}, {0, 0}},
        {"WIDTH=50%", {0, 0, 100, 50}, {0, 0}},
        {"WIDTH=0 HEIGHT=0", {0, 0, 200, 50}, {0, 0}},
        {"WIDTH=400 HEIGHT=25", {0, 0, 400, 25}, {0, 0}},
        {"FLIP=HORIZONTAL", {0, 0, 200, 50}, {200, 0}},
        {"FLIP=VERTICAL", {0, 0, 200, 50}, {0, 50}},
        {"WIDTH=100 HEIGHT=50 FLIP=BOTH", {0, 0, 100, 50}, {100, 50}},
        // Quarter turns about the centre (100, 25): clockwise on screen.
        {"ROTATE=RIGHT", {75, -75, 125, 125}, {125, -75}},
        {"ROTATE=90", {75, -75, 125, 125}, {125, -75}},
        {"ROTATE=450", {75, -75, 125, 125}, {125, -75}},
        {"ROTATE=LEFT", {75, -75, 125, 125}, {75, 125}},
        {"ROTATE=-90", {75, -75, 125, 125}, {75, 125}},
        {"ROTATE=180", {0, 0, 200, 50}, {200, 50}},
        {"ROTATE=360", {0, 0, 200, 50}, {0, 0}},
    };
    for (const auto& row : rows) {
        DrawPlan plan;
        ASSERT_EQ(planFor(row.arguments, 200, 50, plan), kNoErr) << row.arguments;
        FixedRect bounds;
        ASSERT_TRUE(planBounds(plan, bounds));
        EXPECT_EQ(boxOf(bounds), row.bounds) << row.arguments;
        EXPECT_EQ(mapped(plan, 0, 0), row.topLeftGoesTo) << row.arguments;
    }
}

TEST(ImageOperations, AnyAngleTurnsAboutTheCentre) {
    DrawPlan plan;
    ASSERT_EQ(planFor("ROTATE=45", 100, 100, plan), kNoErr);
    // The centre stays; the top-left corner goes to the top of a diamond.
    EXPECT_EQ(mapped(plan, 50, 50), (std::pair<int32_t, int32_t>{50, 50}));
    EXPECT_EQ(mapped(plan, 0, 0), (std::pair<int32_t, int32_t>{50, -21}));
}

// ---- Placement ----

Box placed(const std::string& arguments, Box image, PixelRect target) {
    test::ParameterText text(arguments);
    media::FixedMatrix matrix;
    const FixedRect bounds{intToFixed(image.left), intToFixed(image.top), intToFixed(image.right),
                           intToFixed(image.bottom)};
    EXPECT_EQ(placeImage(readPlacement(text), bounds, target, matrix), kNoErr) << arguments;
    FixedRect moved = bounds;
    EXPECT_TRUE(media::transformRect(matrix, moved));
    return boxOf(moved);
}

TEST(Placement, EachDisplayModePlacesA200By50Image) {
    const PixelRect target{0, 0, 100, 100};
    const Box image{0, 0, 200, 50};
    const struct {
        const char* arguments;
        Box expected;
    } rows[] = {
        {"DISPLAYMODE=ScaleToFit", {0, 38, 100, 63}},  // 100 x 25, centred: 37.5 .. 62.5
        {"DISPLAYMODE=ShrinkToFit", {0, 38, 100, 63}},
        {"DISPLAYMODE=EnlargeToFit", {-150, 0, 250, 100}},
        {"DISPLAYMODE=Fill", {0, 0, 100, 100}},
        {"DISPLAYMODE=FULLSCREEN", {0, 0, 200, 50}},
        {"", {-50, 25, 150, 75}},
        {"DISPLAYMODE=ANCHORED ANCHOR=CENTER", {-50, 25, 150, 75}},
        {"DISPLAYMODE=ANCHORED ANCHOR=TOPLEFT", {0, 0, 200, 50}},
        {"ANCHOR=TOPRIGHT", {-100, 0, 100, 50}},
        {"ANCHOR=BOTTOMLEFT", {0, 50, 200, 100}},
        {"ANCHOR=BOTTOMRIGHT OFFSET=5,5", {-95, 55, 105, 105}},
        {"ANCHOR=TOPLEFT OFFSET=10,20 SCROLL=4,8", {6, 12, 206, 62}},
        // The fitting modes take no anchor, offset or scroll.
        {"DISPLAYMODE=Fill ANCHOR=BOTTOMRIGHT OFFSET=5,5", {0, 0, 100, 100}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(placed(row.arguments, image, target), row.expected) << row.arguments;
    }
}

TEST(Placement, FittingModesLeaveSmallAndLargeImagesAsTheySay) {
    const PixelRect target{10, 10, 110, 110};
    // 50 x 25 fits already: ShrinkToFit keeps its size, ScaleToFit and EnlargeToFit double it.
    EXPECT_EQ(placed("DISPLAYMODE=ShrinkToFit", {0, 0, 50, 25}, target), (Box{35, 48, 85, 73}));
    EXPECT_EQ(placed("DISPLAYMODE=ScaleToFit", {0, 0, 50, 25}, target), (Box{10, 35, 110, 85}));
    EXPECT_EQ(placed("DISPLAYMODE=EnlargeToFit", {0, 0, 50, 25}, target), (Box{10, 35, 110, 85}));
    // 400 x 300 is too large both ways: EnlargeToFit leaves it, centred.
    EXPECT_EQ(placed("DISPLAYMODE=EnlargeToFit", {0, 0, 400, 300}, target), (Box{-140, -90, 260, 210}));
    EXPECT_EQ(placed("DISPLAYMODE=ShrinkToFit", {0, 0, 400, 300}, target), (Box{10, 23, 110, 98}));
}

TEST(Placement, EmptyTargetsAndImagesAreRefused) {
    test::ParameterText text("DISPLAYMODE=Fill");
    media::FixedMatrix matrix;
    const FixedRect image{0, 0, intToFixed(10), intToFixed(10)};
    EXPECT_EQ(placeImage(readPlacement(text), image, PixelRect{5, 5, 5, 50}, matrix), kParamErr);
    EXPECT_EQ(placeImage(readPlacement(text), FixedRect{}, PixelRect{0, 0, 10, 10}, matrix), kParamErr);
    EXPECT_EQ(matrix, media::FixedMatrix{});
}

// ---- Random drawing commands ----

constexpr int kCommands = 1500;
constexpr int kBufferDepths[] = {1, 2, 4, 8, 16, 32, 34, 36, 40};
constexpr const char* kWords[] = {"ScaleToFit", "ShrinkToFit", "EnlargeToFit", "Fill", "FULLSCREEN", "ANCHORED"};
constexpr const char* kAnchorWords[] = {"TOPLEFT", "TOPRIGHT", "BOTTOMLEFT", "BOTTOMRIGHT", "CENTER"};
constexpr const char* kFlipWords[] = {"HORIZONTAL", "VERTICAL", "BOTH"};

int32_t anyCoordinate(test::SeededRandom& rng) {
    switch (rng.below(4)) {
        case 0:
            return rng.between(-32768, 32767);
        default:
            return rng.between(-60, 120);
    }
}

std::string randomCommand(test::SeededRandom& rng) {
    auto number = [&] { return std::to_string(anyCoordinate(rng)); };
    std::string text;
    if (rng.below(3) == 0) {
        text += " TRIMRECT=" + number() + "," + number() + "," + number() + "," + number();
    }
    if (rng.below(2) == 0) {
        text += " WIDTH=" + (rng.below(3) == 0 ? std::to_string(rng.between(-300, 300)) + "%" : number());
    }
    if (rng.below(2) == 0) {
        text += " HEIGHT=" + number();
    }
    if (rng.below(3) == 0) {
        text += std::string(" FLIP=") + kFlipWords[rng.below(3)];
    }
    if (rng.below(2) == 0) {
        text += " ROTATE=" + std::to_string(rng.between(-100000, 100000));
    }
    text += std::string(" QUALITY=") + (rng.below(2) ? "MIN" : "MAX");
    text += std::string(" DISPLAYMODE=") + kWords[rng.below(6)];
    text += std::string(" ANCHOR=") + kAnchorWords[rng.below(5)];
    if (rng.below(3) == 0) {
        text += " OFFSET=" + number() + "," + number();
    }
    return text;
}

// Whatever the arguments, a command either is refused with a status or draws inside its
// target rectangle and nowhere else in the buffer (the sanitizers watch the memory).
TEST(DrawPlanFuzz, RandomCommandsStayInsideTheTarget) {
    test::SeededRandom rng(0x11D2A7);
    media::Bitmap image;
    ASSERT_EQ(image.create(13, 7, media::kDepth32), kNoErr);
    image.fill(media::Rgba{0, 0, 0, 255});
    for (int i = 0; i < kCommands; ++i) {
        const std::string command = randomCommand(rng);
        SCOPED_TRACE(command);
        media::Bitmap buffer;
        const int depth = kBufferDepths[rng.below(9)];
        ASSERT_EQ(media::createOffscreen(40, 30, depth, buffer), kNoErr);
        const PixelRect target{rng.between(-10, 30), rng.between(-10, 20), rng.between(0, 50), rng.between(0, 40)};

        test::ParameterText text(command);
        DrawPlan plan = initialPlan(image.width(), image.height());
        if (applyImageOperations(readImageOperations(text, plan), plan) != kNoErr) {
            continue;
        }
        FixedRect bounds;
        if (!planBounds(plan, bounds) || placeImage(readPlacement(text), bounds, target, plan.matrix) != kNoErr) {
            continue;
        }
        media::DrawParams params;
        params.matrix = plan.matrix;
        params.hasSourceRect = true;
        params.sourceRect = plan.sourceRect;
        params.hasClip = true;
        params.clip = target;
        params.quality = plan.quality;
        const Status status = media::drawBitmap(image, buffer, params);
        ASSERT_TRUE(status == kNoErr || status == kParamErr) << status;
        for (int32_t y = 0; y < buffer.height(); ++y) {
            for (int32_t x = 0; x < buffer.width(); ++x) {
                const bool inside = x >= target.left && x < target.right && y >= target.top && y < target.bottom;
                if (!inside) {
                    ASSERT_EQ(buffer.pixel(x, y), (media::Rgba{255, 255, 255, 255})) << x << "," << y;
                }
            }
        }
    }
}

}  // namespace
}  // namespace korvane
