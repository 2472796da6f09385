// The destination rectangle of the drawing functions: named, positional or the port's, and
// moved past the status area only while the window is not scrolled sideways.

#include <gtest/gtest.h>

#include "core/destination.h"
#include "tests/support/parameter_text.h"

namespace korvane {
namespace {

Rect rect(int16_t left, int16_t top, int16_t right, int16_t bottom) {
    return Rect{top, left, bottom, right};
}

TEST(Destination, ComesFromTheArgumentsOrThePort) {
    const Rect port = rect(0, 0, 800, 600);
    const struct {
        const char* arguments;
        int32_t originX;
        bool given;
        Rect expected;
    } rows[] = {
        {"DESTRECT=1,2,3,4 RECT=5,6,7,8", 0, true, rect(1, 2, 3, 4)},
        {"RECT=5,6,7,8", 0, true, rect(5, 6, 7, 8)},
        {"10,20,30,40 SRC=x", 0, true, rect(10, 20, 30, 40)},
        {"DESTRECT=5,5,5,50", 0, false, rect(0, 0, 800, 600)},
        {"SRC=x", 0, false, rect(0, 0, 800, 600)},
        {"DESTRECT=0,0,100,100 STATUSAREA", 0, true, rect(69, 0, 169, 100)},
        {"DESTRECT=0,0,100,100 STATUSAREA=TRUE", 0, true, rect(69, 0, 169, 100)},
        {"DESTRECT=0,0,100,100 STATUSAREA=FALSE", 0, true, rect(0, 0, 100, 100)},
        {"DESTRECT=0,0,100,100 STATUSAREA", 69, true, rect(0, 0, 100, 100)},
        {"STATUSAREA", 0, false, rect(69, 0, 869, 600)},
    };
    for (const auto& row : rows) {
        test::ParameterText text(row.arguments);
        Rect r;
        EXPECT_EQ(readDestination(text, port, row.originX, &r), row.given) << row.arguments;
        EXPECT_EQ(r, row.expected) << row.arguments;
    }
    // A port scrolled down keeps its top; the left edge is always 0.
    test::ParameterText text("SRC=x");
    Rect r;
    EXPECT_FALSE(readDestination(text, rect(30, 40, 830, 640), 30, &r));
    EXPECT_EQ(r, rect(0, 40, 830, 640));
}

TEST(Destination, AnchorKeywords) {
    const struct {
        const char* arguments;
        Anchor expected;
    } rows[] = {
        {"", Anchor::none},
        {"ANCHOR=TOPLEFT", Anchor::topLeft},
        {"ANCHOR=topright", Anchor::topRight},
        {"ANCHOR=BOTTOMLEFT", Anchor::bottomLeft},
        {"ANCHOR=BOTTOMRIGHT", Anchor::bottomRight},
        {"ANCHOR=CENTER", Anchor::center},
        {"ANCHOR=MIDDLE", Anchor::none},
    };
    for (const auto& row : rows) {
        test::ParameterText text(row.arguments);
        EXPECT_EQ(readAnchor(text), row.expected) << row.arguments;
    }
}

}  // namespace
}  // namespace korvane
