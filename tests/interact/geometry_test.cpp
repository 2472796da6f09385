// Rectangle and point records, their texts, their arithmetic and the query-or-assign
// convention read from a parsed parameter text.

#include <gtest/gtest.h>

#include <string>

#include "interact/geometry.h"
#include "tests/support/parameter_text.h"

namespace korvane {
namespace {

using test::ParameterText;

// Text order left, top, right, bottom, as the rectangle texts are written.
Rect ltrb(int16_t left, int16_t top, int16_t right, int16_t bottom) {
    Rect r;
    r.left = left;
    r.top = top;
    r.right = right;
    r.bottom = bottom;
    return r;
}

Point hv(int16_t h, int16_t v) {
    Point p;
    p.h = h;
    p.v = v;
    return p;
}

const Rect kSentinelRect = ltrb(-7, -7, -7, -7);
const Point kSentinelPoint = hv(-7, -7);

TEST(Geometry, StoreKeepsTheLowSixteenBits) {
    EXPECT_EQ(storeInt16(70000), 4464);
    EXPECT_EQ(storeInt16(40000), -25536);
    EXPECT_EQ(storeInt16(-32769), 32767);
    EXPECT_EQ(storeInt16(-1), -1);
    EXPECT_EQ(storeInt16(int64_t{1} << 40), 0);
}

TEST(Geometry, TextsReadAndWrite) {
    Rect r = kSentinelRect;
    ASSERT_TRUE(parseRectText("10,20,110,70", &r));
    EXPECT_EQ(r, ltrb(10, 20, 110, 70));
    // Emptiness is the readers' business, not the text's.
    ASSERT_TRUE(parseRectText("5,0,1,0", &r));
    EXPECT_EQ(r, ltrb(5, 0, 1, 0));

    for (const char* bad : {"", "1,2,3", "1,2,x,4", "1 ,2,3,4"}) {
        SCOPED_TRACE(bad);
        r = kSentinelRect;
        EXPECT_FALSE(parseRectText(bad, &r));
        EXPECT_EQ(r, kSentinelRect);
    }
    EXPECT_FALSE(parseRectText(nullptr, &r));

    Point p = kSentinelPoint;
    ASSERT_TRUE(parsePointText("15,-3,99", &p));
    EXPECT_EQ(p, hv(15, -3));
    p = kSentinelPoint;
    EXPECT_FALSE(parsePointText("15", &p));
    EXPECT_EQ(p, kSentinelPoint);

    LocalText<64> text;
    formatRectText(text, ltrb(-32768, 0, 32767, -1));
    textAppend(text, " ");
    formatPointText(text, hv(15, -3));
    EXPECT_STREQ(text.c_str(), "-32768,0,32767,-1 15,-3");
}

TEST(Geometry, ReadersTakeTagsAndPositions) {
    ParameterText parsed("A=0,0,5,5 EMPTY=5,5,5,5 P=1,2 SHORT=1 7,8");
    ASSERT_EQ(parsed.status(), kNoErr);

    Rect r = kSentinelRect;
    EXPECT_TRUE(readRectArg(parsed, "a", &r));
    EXPECT_EQ(r, ltrb(0, 0, 5, 5));
    r = kSentinelRect;
    EXPECT_FALSE(readRectArg(parsed, "EMPTY", &r));
    EXPECT_FALSE(readRectArg(parsed, "MISSING", &r));
    EXPECT_FALSE(readRectArgAt(parsed, 1, &r));  // the whole token A=0,0,5,5 is no rectangle
    EXPECT_FALSE(readRectArgAt(parsed, 0, &r));
    EXPECT_FALSE(readRectArgAt(parsed, 99, &r));
    EXPECT_EQ(r, kSentinelRect);

    Point p = kSentinelPoint;
    EXPECT_TRUE(readPointArg(parsed, "P", &p));
    EXPECT_EQ(p, hv(1, 2));
    EXPECT_TRUE(readPointArgAt(parsed, 5, &p));
    EXPECT_EQ(p, hv(7, 8));
    p = kSentinelPoint;
    EXPECT_FALSE(readPointArg(parsed, "SHORT", &p));
    EXPECT_FALSE(readPointArgAt(parsed, 4, &p));
    EXPECT_EQ(p, kSentinelPoint);
}

TEST(Geometry, RectangleTests) {
    EXPECT_TRUE(isEmptyRect(Rect{}));
    EXPECT_TRUE(isEmptyRect(ltrb(0, 0, 10, 0)));
    EXPECT_TRUE(isEmptyRect(ltrb(10, 0, 5, 10)));
    EXPECT_FALSE(isEmptyRect(ltrb(0, 0, 1, 1)));

    const Rect outer = ltrb(0, 0, 20, 20);
    EXPECT_TRUE(rectWithin(outer, outer));
    EXPECT_TRUE(rectWithin(ltrb(10, 10, 20, 20), outer));
    EXPECT_FALSE(rectWithin(ltrb(10, 10, 21, 20), outer));
    EXPECT_FALSE(rectWithin(ltrb(-1, 0, 5, 5), outer));
    EXPECT_TRUE(rectWithin(ltrb(5, 5, 5, 5), outer));  // emptiness is not tested here

    EXPECT_TRUE(pointInRect(hv(0, 0), outer));
    EXPECT_TRUE(pointInRect(hv(19, 19), outer));
    EXPECT_FALSE(pointInRect(hv(20, 5), outer));
    EXPECT_FALSE(pointInRect(hv(5, 20), outer));
    EXPECT_FALSE(pointInRect(hv(-1, 5), outer));
}

TEST(Geometry, Arithmetic) {
    const Rect r = ltrb(0, 0, 100, 100);
    EXPECT_EQ(offsetRect(r, 10, -5), ltrb(10, -5, 110, 95));
    EXPECT_EQ(insetRect(r, 10, 20), ltrb(10, 20, 90, 80));
    EXPECT_EQ(insetRect(r, -5, 0), ltrb(-5, 0, 105, 100));
    EXPECT_EQ(unionRect(r, ltrb(50, 50, 200, 150)), ltrb(0, 0, 200, 150));
    EXPECT_EQ(intersectRect(r, ltrb(50, -10, 150, 60)), ltrb(50, 0, 100, 60));
    EXPECT_TRUE(isEmptyRect(intersectRect(r, ltrb(200, 200, 300, 300))));

    // Results are stored in 16 bits, and no 32-bit amount overflows on the way.
    EXPECT_EQ(offsetRect(ltrb(32760, 0, 32767, 1), 10, 0), ltrb(-32766, 0, -32759, 1));
    EXPECT_EQ(insetRect(r, INT32_MAX, INT32_MIN), ltrb(-1, 0, 101, 100));

    EXPECT_EQ(addPoint(hv(10, 20), hv(1, -1)), hv(11, 19));
    EXPECT_EQ(subtractPoint(hv(10, 20), hv(5, 5)), hv(5, 15));
    EXPECT_EQ(addPoint(hv(32767, 0), hv(1, 0)), hv(-32768, 0));
    EXPECT_EQ(subtractPoint(hv(-32768, 0), hv(1, 0)), hv(32767, 0));
}

TEST(Geometry, QueryOrSet) {
    ParameterText parsed("LEFT TOP=top RIGHT=abc BOTTOM=-12 WIDTH= CORNER=3,4 EDGE=5 SPOT");
    ASSERT_EQ(parsed.status(), kNoErr);

    struct NumberRow {
        const char* keyword;
        ValueAccess access;
        int32_t assigned;
    };
    const NumberRow rows[] = {
        {"LEFT", ValueAccess::kQuery, -1},     {"TOP", ValueAccess::kQuery, -1},   {"RIGHT", ValueAccess::kAssign, 0},
        {"BOTTOM", ValueAccess::kAssign, -12}, {"WIDTH", ValueAccess::kAssign, 0}, {"HEIGHT", ValueAccess::kNone, -1},
    };
    for (const NumberRow& row : rows) {
        SCOPED_TRACE(row.keyword);
        int32_t n = -1;
        EXPECT_EQ(queryOrSetNumber(parsed, row.keyword, &n), row.access);
        EXPECT_EQ(n, row.assigned);
    }

    Point p = kSentinelPoint;
    EXPECT_EQ(queryOrSetPoint(parsed, "CORNER", &p), ValueAccess::kAssign);
    EXPECT_EQ(p, hv(3, 4));
    p = kSentinelPoint;
    EXPECT_EQ(queryOrSetPoint(parsed, "EDGE", &p), ValueAccess::kNone);
    EXPECT_EQ(queryOrSetPoint(parsed, "SPOT", &p), ValueAccess::kQuery);
    EXPECT_EQ(queryOrSetPoint(parsed, "ABSENT", &p), ValueAccess::kNone);
    EXPECT_EQ(p, kSentinelPoint);
}

}  // namespace
}  // namespace korvane
