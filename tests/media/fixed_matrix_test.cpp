#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "platform/media/fixed_matrix.h"

namespace korvane::media {
namespace {

constexpr Fixed kHalf = kFixedOne / 2;

Fixed fx(double v) {
    return static_cast<Fixed>(std::lround(v * kFixedOne));
}

struct Point {
    double x;
    double y;
};

// Maps (x, y) and compares within tolerance (in pixels).
void expectMaps(const FixedMatrix& m, Point from, Point to, double tolerance = 0) {
    Fixed x = fx(from.x);
    Fixed y = fx(from.y);
    ASSERT_TRUE(transformPoint(m, x, y));
    EXPECT_NEAR(x / 65536.0, to.x, tolerance + 1e-9) << "from " << from.x << "," << from.y;
    EXPECT_NEAR(y / 65536.0, to.y, tolerance + 1e-9) << "from " << from.x << "," << from.y;
}

TEST(FixedMatrix, FixedArithmeticSaturatesAndRounds) {
    EXPECT_EQ(intToFixed(3), 3 * kFixedOne);
    EXPECT_EQ(intToFixed(-32768), INT32_MIN);
    EXPECT_EQ(intToFixed(40000), INT32_MAX);
    EXPECT_EQ(fixedRatio(1, 2), kHalf);
    EXPECT_EQ(fixedRatio(1, 3), 21845);  // 0.33333 rounded to the nearest 1/65536
    EXPECT_EQ(fixedRatio(-1, 3), -21845);
    EXPECT_EQ(fixedRatio(1, 0), 0);
    EXPECT_EQ(fixedRatio(100000, 1), INT32_MAX);
    EXPECT_EQ(fixedMultiply(3 * kFixedOne, kHalf), 3 * kHalf);
    EXPECT_EQ(fixedMultiply(30000 * kFixedOne, 4 * kFixedOne), INT32_MAX);
    EXPECT_EQ(fixedRound(fx(2.5)), 3);
    EXPECT_EQ(fixedRound(fx(-2.5)), -3);
}

TEST(FixedMatrix, StepsApplyInOrder) {
    FixedMatrix scaleThenMove;
    scaleThenMove.scale(2 * kFixedOne, 3 * kFixedOne, 0, 0);
    scaleThenMove.translate(10 * kFixedOne, 20 * kFixedOne);
    expectMaps(scaleThenMove, {1, 1}, {12, 23});

    FixedMatrix moveThenScale;
    moveThenScale.translate(10 * kFixedOne, 20 * kFixedOne);
    moveThenScale.scale(2 * kFixedOne, 3 * kFixedOne, 0, 0);
    expectMaps(moveThenScale, {1, 1}, {22, 63});

    // Scaling about a point keeps that point.
    FixedMatrix aboutCentre;
    aboutCentre.scale(kHalf, kHalf, 100 * kFixedOne, 25 * kFixedOne);
    expectMaps(aboutCentre, {100, 25}, {100, 25});
    expectMaps(aboutCentre, {0, 0}, {50, 12.5});
    EXPECT_TRUE(aboutCentre.isAxisAligned());
}

TEST(FixedMatrix, QuarterTurnsAreExactAndClockwise) {
    struct Row {
        double degrees;
        Point corner;  // where (0, 0) of a 200 x 100 image goes, turned about its centre
    };
    const Row rows[] = {
        {90, {150, -50}}, {180, {200, 100}}, {270, {50, 150}}, {450, {150, -50}}, {-90, {50, 150}}, {360, {0, 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.degrees);
        FixedMatrix m;
        m.rotate(fx(row.degrees), 100 * kFixedOne, 50 * kFixedOne);
        expectMaps(m, {0, 0}, row.corner);
        expectMaps(m, {100, 50}, {100, 50});
    }
    // Clockwise on screen (y grows downwards): the right-hand point goes down.
    FixedMatrix right;
    right.rotate(90 * kFixedOne, 0, 0);
    expectMaps(right, {1, 0}, {0, 1});
    EXPECT_FALSE(right.isAxisAligned());
}

TEST(FixedMatrix, AnyAngleTurns) {
    FixedMatrix m;
    m.rotate(30 * kFixedOne, 0, 0);
    expectMaps(m, {100, 0}, {86.6025, 50}, 0.01);
    expectMaps(m, {0, 100}, {-50, 86.6025}, 0.01);
    FixedMatrix back;
    back.rotate(-30 * kFixedOne, 0, 0);
    m.concat(back);
    expectMaps(m, {1000, -700}, {1000, -700}, 0.05);
}

TEST(FixedMatrix, InverseUndoesTheMatrix) {
    FixedMatrix m;
    m.scale(fx(1.5), fx(-0.25), fx(3), fx(4));
    m.rotate(fx(33.3), fx(10), fx(-2));
    m.translate(fx(-120.5), fx(7.25));
    FixedMatrix inverse;
    ASSERT_TRUE(invertMatrix(m, inverse));
    FixedMatrix round = concatMatrices(m, inverse);
    expectMaps(round, {123, -45}, {123, -45}, 0.02);

    FixedMatrix flat;
    flat.scale(0, kFixedOne, 0, 0);
    EXPECT_FALSE(invertMatrix(flat, inverse));
    FixedMatrix tiny;
    tiny.scale(1, 1, 0, 0);  // 1/65536: the inverse needs 65536, beyond 16.16
    EXPECT_FALSE(invertMatrix(tiny, inverse));
    FixedMatrix perspective;
    perspective.m[0][2] = kFractOne / 100;
    EXPECT_FALSE(perspective.isAffine());
    EXPECT_FALSE(invertMatrix(perspective, inverse));
}

TEST(FixedMatrix, RectanglesMapToTheirBoundingBox) {
    FixedRect from{0, 0, 200 * kFixedOne, 50 * kFixedOne};
    FixedRect to{10 * kFixedOne, 20 * kFixedOne, 110 * kFixedOne, 120 * kFixedOne};
    FixedMatrix fill;
    ASSERT_TRUE(rectToRectMatrix(from, to, fill));
    FixedRect mapped = from;
    ASSERT_TRUE(transformRect(fill, mapped));
    EXPECT_EQ(mapped, to);
    EXPECT_FALSE(rectToRectMatrix(FixedRect{0, 0, 0, kFixedOne}, to, fill));

    FixedMatrix turn;
    turn.rotate(45 * kFixedOne, 0, 0);
    FixedRect square{0, 0, 10 * kFixedOne, 10 * kFixedOne};
    ASSERT_TRUE(transformRect(turn, square));
    EXPECT_NEAR(square.left / 65536.0, -7.0711, 0.001);
    EXPECT_NEAR(square.right / 65536.0, 7.0711, 0.001);
    EXPECT_NEAR(square.top / 65536.0, 0, 0.001);
    EXPECT_NEAR(square.bottom / 65536.0, 14.1421, 0.001);

    // A corner beyond the 16.16 range is reported, not wrapped.
    FixedMatrix huge;
    huge.scale(30000 * kFixedOne, kFixedOne, 0, 0);
    FixedRect wide{0, 0, 10 * kFixedOne, kFixedOne};
    EXPECT_FALSE(transformRect(huge, wide));
}

}  // namespace
}  // namespace korvane::media
