#pragma once
// Colours: the 16-bit-per-component Color record, its text (#RRGGBB, r,g,b or one grey
// value) and the colours derived from it.

#include <cstdint>

#include "core/args.h"
#include "core/result_text.h"

namespace korvane {

struct Color {
    uint16_t red = 0;
    uint16_t green = 0;
    uint16_t blue = 0;

    friend bool operator==(const Color&, const Color&) = default;
};

inline constexpr uint16_t kMaxComponent = 65535;

// A byte value b becomes the component b * 257 (0 -> 0, 128 -> 32896, 255 -> 65535).
constexpr uint16_t componentFromByte(uint8_t b) {
    return static_cast<uint16_t>(b * 257u);
}
// A component is shown as its high byte.
constexpr uint8_t byteOfComponent(uint16_t c) {
    return static_cast<uint8_t>(c >> 8);
}

// "#RRGGBB" (exactly 7 characters, hexadecimal digits in either case), or the number-list
// rule with 1 number (grey) or 3 numbers (red, green, blue), each taken by its low 8 bits.
// On failure `out` is left as it was.
bool parseColorText(const char* text, Color* out);
// The named argument as a colour: present and a colour text.
bool readColorArg(const Arguments& args, const char* name, Color* out);
// The same for positional argument `index` (from 1, named tokens included).
bool readColorArgAt(const Arguments& args, int index, Color* out);

// Appends the components' high bytes as r,g,b (no blanks).
void formatColorText(WorkingText& dst, const Color& c);

// Each component halved, rounded down.
Color darkenColor(const Color& c);
// Each component c becomes (c + 65535) / 2, rounded down.
Color lightenColor(const Color& c);
// Each component c becomes 65535 - c.
Color invertColor(const Color& c);

}  // namespace korvane
