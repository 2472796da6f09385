// The rectangle, point and colour readers, and their texts written back and read again.

#include <cstdint>

#include "core/color_text.h"
#include "core/geometry.h"
#include "fuzz/fuzz_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace korvane;
    fuzzing::FuzzText text(data, size);
    Rect rect;
    if (parseRectText(text.get(), &rect)) {
        LocalText<kMaxShortText> written;
        formatRectText(written, rect);
        Rect again;
        if (!parseRectText(written.c_str(), &again) || !(again == rect)) {
            __builtin_trap();  // a rectangle's own text must read back as itself
        }
    }
    Point point;
    if (parsePointText(text.get(), &point)) {
        LocalText<kMaxShortText> written;
        formatPointText(written, point);
    }
    Color color;
    if (parseColorText(text.get(), &color)) {
        LocalText<kMaxShortText> written;
        formatColorText(written, color);
    }
    return 0;
}
