#include "interact/color_text.h"

#include "core/args.h"

namespace korvane {
namespace {

constexpr char kHexMark = '#';
constexpr int kHexTextLength = 7;  // "#RRGGBB"
constexpr int kMaxColorNumbers = 3;

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Whether the text is "#" followed by exactly six more characters. Stops at the first
// terminator, so a short text is never read past its end.
bool isHexColorShape(const char* text) {
    if (text[0] != kHexMark) {
        return false;
    }
    for (int i = 1; i < kHexTextLength; ++i) {
        if (text[i] == '\0') {
            return false;
        }
    }
    return text[kHexTextLength] == '\0';
}

bool parseHexColor(const char* text, Color* out) {
    uint16_t components[kMaxColorNumbers];
    for (int i = 0; i < kMaxColorNumbers; ++i) {
        const int high = hexDigitValue(text[1 + 2 * i]);
        const int low = hexDigitValue(text[2 + 2 * i]);
        if (high < 0 || low < 0) {
            return false;
        }
        components[i] = componentFromByte(static_cast<uint8_t>(high * 16 + low));
    }
    *out = Color{components[0], components[1], components[2]};
    return true;
}

// Only the low 8 bits of a number are its byte value (256 -> 0, 300 -> 44, -1 -> 255).
uint16_t componentFromNumber(int32_t n) {
    return componentFromByte(static_cast<uint8_t>(static_cast<uint32_t>(n) & 0xFFu));
}

bool parseNumberColor(const char* text, Color* out) {
    int32_t n[kMaxColorNumbers];
    switch (parseNumberList(text, n, kMaxColorNumbers)) {
        case 1: {
            const uint16_t grey = componentFromNumber(n[0]);
            *out = Color{grey, grey, grey};
            return true;
        }
        case kMaxColorNumbers:
            *out = Color{componentFromNumber(n[0]), componentFromNumber(n[1]), componentFromNumber(n[2])};
            return true;
        default:
            return false;
    }
}

uint16_t lighten(uint16_t c) {
    return static_cast<uint16_t>((uint32_t{c} + kMaxComponent) / 2);
}

}  // namespace

bool parseColorText(const char* text, Color* out) {
    if (text == nullptr) {
        return false;
    }
    if (isHexColorShape(text)) {
        return parseHexColor(text, out);
    }
    return parseNumberColor(text, out);
}

bool readColorArg(const Arguments& args, const char* name, Color* out) {
    return parseColorText(args.tagValue(name), out);
}

bool readColorArgAt(const Arguments& args, int index, Color* out) {
    return parseColorText(args.argAt(index), out);
}

void formatColorText(WorkingText& dst, const Color& c) {
    textAppendNumber(dst, byteOfComponent(c.red));
    textAppend(dst, ",");
    textAppendNumber(dst, byteOfComponent(c.green));
    textAppend(dst, ",");
    textAppendNumber(dst, byteOfComponent(c.blue));
}

Color darkenColor(const Color& c) {
    return Color{static_cast<uint16_t>(c.red / 2), static_cast<uint16_t>(c.green / 2),
                 static_cast<uint16_t>(c.blue / 2)};
}

Color lightenColor(const Color& c) {
    return Color{lighten(c.red), lighten(c.green), lighten(c.blue)};
}

Color invertColor(const Color& c) {
    return Color{static_cast<uint16_t>(kMaxComponent - c.red), static_cast<uint16_t>(kMaxComponent - c.green),
                 static_cast<uint16_t>(kMaxComponent - c.blue)};
}

}  // namespace korvane
