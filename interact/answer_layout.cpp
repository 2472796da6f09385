#include "interact/answer_layout.h"

namespace korvane {
namespace {

// How many extra text lines a one-line text of `extent` needs in a line of `line`'s
// width. A line of no width takes none: its text cannot be wrapped into it at all.
int32_t extraLines(const PixelRect& line, const TextExtent& extent) {
    const int32_t width = line.right - line.left;
    if (width <= 0 || width >= extent.width) {
        return 0;
    }
    return extent.width / width;
}

void moveDown(PixelRect& rect, int32_t distance) {
    rect.top += distance;
    rect.bottom += distance;
}

}  // namespace

AnswerLayout layoutAnswer(const AnswerLayoutInput& input) {
    AnswerLayout layout;
    layout.message = input.message;
    layout.description = input.description;
    layout.window = input.window;
    for (int i = 0; i < kAnswerButtonCount; ++i) {
        layout.buttons[i] = input.buttons[i];
    }

    // Without an icon, the texts widen to the left into its place.
    if (!input.hasIcon) {
        layout.message.left = input.icon.left;
        layout.description.left = input.icon.left;
        layout.hideIcon = true;
    }
    if (!input.measured) {
        return layout;
    }

    int32_t extra = 0;
    if (const int32_t lines = extraLines(layout.message, input.messageExtent); lines > 0) {
        layout.message.bottom = layout.message.top + (lines + 1) * input.messageExtent.height;
        extra = lines * input.messageExtent.height;
    }
    moveDown(layout.description, extra);
    if (const int32_t lines = extraLines(layout.description, input.descriptionExtent); lines > 0) {
        layout.description.bottom = layout.description.top + (lines + 1) * input.descriptionExtent.height;
        extra += lines * input.descriptionExtent.height;
    }

    if (extra > 0) {
        const int32_t half = extra / 2;
        layout.window.top -= half;
        layout.window.bottom += half;
        for (PixelRect& button : layout.buttons) {
            moveDown(button, extra);
        }
    }
    return layout;
}

}  // namespace korvane
