// The message box's layout rules, from the rectangles and measured text sizes alone.

#include "interact/answer_layout.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

// The message box as the template lays it out at 96 dpi: message, description and icon
// lines, the three buttons, and the box on the screen.
AnswerLayoutInput templateBox() {
    AnswerLayoutInput input;
    input.message = {54, 11, 312, 27};
    input.description = {54, 31, 312, 45};
    input.icon = {10, 11, 40, 43};
    input.buttons[0] = {237, 62, 312, 88};
    input.buttons[1] = {150, 62, 225, 88};
    input.buttons[2] = {10, 62, 85, 88};
    input.window = {400, 300, 729, 420};
    input.hasIcon = true;
    input.measured = true;
    return input;
}

TEST(AnswerLayout, AShortMessageChangesNothing) {
    AnswerLayoutInput input = templateBox();
    input.messageExtent = {200, 16};
    input.descriptionExtent = {258, 14};  // exactly the line's width still fits
    const AnswerLayout layout = layoutAnswer(input);
    EXPECT_EQ(layout.message, input.message);
    EXPECT_EQ(layout.description, input.description);
    EXPECT_EQ(layout.window, input.window);
    EXPECT_EQ(layout.buttons[0], input.buttons[0]);
    EXPECT_FALSE(layout.hideIcon);
}

TEST(AnswerLayout, WithoutAnIconTheTextsWidenIntoItsPlace) {
    AnswerLayoutInput input = templateBox();
    input.hasIcon = false;
    input.messageExtent = {200, 16};
    const AnswerLayout layout = layoutAnswer(input);
    EXPECT_TRUE(layout.hideIcon);
    EXPECT_EQ(layout.message, (PixelRect{10, 11, 312, 27}));
    EXPECT_EQ(layout.description, (PixelRect{10, 31, 312, 45}));
}

// Three times as wide as its line: four lines high; the description and the buttons move
// down three lines; the box grows by half of that, rounded down, above and below.
TEST(AnswerLayout, AWideMessageGrowsItsLineAndTheBox) {
    AnswerLayoutInput input = templateBox();
    const int32_t line = 258;
    input.messageExtent = {3 * line + 5, 15};
    input.descriptionExtent = {100, 14};
    const AnswerLayout layout = layoutAnswer(input);
    EXPECT_EQ(layout.message, (PixelRect{54, 11, 312, 11 + 4 * 15}));
    EXPECT_EQ(layout.description, (PixelRect{54, 31 + 45, 312, 45 + 45}));
    EXPECT_EQ(layout.buttons[0], (PixelRect{237, 62 + 45, 312, 88 + 45}));
    EXPECT_EQ(layout.buttons[2], (PixelRect{10, 62 + 45, 85, 88 + 45}));
    EXPECT_EQ(layout.window, (PixelRect{400, 300 - 22, 729, 420 + 22}));  // 45 / 2 = 22
}

TEST(AnswerLayout, AWideDescriptionAddsItsOwnLines) {
    AnswerLayoutInput input = templateBox();
    input.messageExtent = {2 * 258 + 1, 16};  // two extra lines of 16
    input.descriptionExtent = {258 + 1, 13};  // one extra line of 13
    const AnswerLayout layout = layoutAnswer(input);
    EXPECT_EQ(layout.description, (PixelRect{54, 31 + 32, 312, 31 + 32 + 2 * 13}));
    EXPECT_EQ(layout.buttons[1], (PixelRect{150, 62 + 45, 225, 88 + 45}));
    EXPECT_EQ(layout.window, (PixelRect{400, 300 - 22, 729, 420 + 22}));
}

TEST(AnswerLayout, NothingIsMeasuredWithoutADrawingContextOrWidth) {
    AnswerLayoutInput unmeasured = templateBox();
    unmeasured.measured = false;
    unmeasured.messageExtent = {5000, 16};
    EXPECT_EQ(layoutAnswer(unmeasured).window, unmeasured.window);

    AnswerLayoutInput noWidth = templateBox();
    noWidth.message = {54, 11, 54, 27};  // a line of no width cannot wrap anything
    noWidth.messageExtent = {5000, 16};
    const AnswerLayout layout = layoutAnswer(noWidth);
    EXPECT_EQ(layout.message, noWidth.message);
    EXPECT_EQ(layout.window, noWidth.window);
}

}  // namespace
}  // namespace korvane
