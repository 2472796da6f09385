#pragma once
// Where the message box's items go once its texts are known: the message and description
// lines grow to as many text lines as their one-line width needs, the items below them and
// the buttons move down, and the box grows evenly above and below. Pure arithmetic over
// rectangles, so the rules are tested without a window.

#include <cstdint>

namespace korvane {

struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const PixelRect&) const = default;
};

struct TextExtent {
    int32_t width = 0;  // of the text set as one line; 0 when it could not be measured
    int32_t height = 0;
};

inline constexpr int kAnswerButtonCount = 3;  // OK, cancel, other

struct AnswerLayoutInput {
    PixelRect message;                      // the message line, in the box's client pixels
    PixelRect description;                  // the description line
    PixelRect icon;                         // the icon
    PixelRect buttons[kAnswerButtonCount];  // OK, cancel and other
    PixelRect window;                       // the box itself, in screen pixels
    bool hasIcon = false;
    bool measured = false;         // false: no drawing context, the sizes stay as they are
    TextExtent messageExtent;      // {0,0} for an empty message
    TextExtent descriptionExtent;  // {0,0} for an empty description
};

struct AnswerLayout {
    PixelRect message;
    PixelRect description;
    PixelRect buttons[kAnswerButtonCount];
    PixelRect window;
    bool hideIcon = false;
};

AnswerLayout layoutAnswer(const AnswerLayoutInput& input);

}  // namespace korvane
