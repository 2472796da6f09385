#pragma once
// Shift-JIS texts byte by byte: which bytes begin a double-byte character and which
// are its second byte. A second byte can hold any code, the backslash (0x5C) among
// them, so no rule that looks for a separator, quote or escape may take it as one.

#include <cstddef>

namespace korvane {

// Shift-JIS lead bytes: 0x81..0x9F and 0xE0..0xEF.
constexpr bool isLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xEF);
}

// Reads a text from its first byte on and tells what each byte is.
class ShiftJisScan {
  public:
    enum class Byte { kSingle, kLead, kSecond };

    // Takes the next byte of the text.
    Byte next(char c) {
        if (expectSecond_) {
            expectSecond_ = false;
            return Byte::kSecond;
        }
        expectSecond_ = isLeadByte(static_cast<unsigned char>(c));
        return expectSecond_ ? Byte::kLead : Byte::kSingle;
    }
    // Whether the next byte will be the second byte of a double-byte character.
    bool expectsSecondByte() const { return expectSecond_; }

  private:
    bool expectSecond_ = false;
};

// Whether text[index] is the second byte of a double-byte character (the text is read
// from its start; a terminator before `index` ends it).
inline bool isSecondByteAt(const char* text, size_t index) {
    ShiftJisScan scan;
    for (size_t i = 0; i < index && text[i] != '\0'; ++i) {
        scan.next(text[i]);
    }
    return scan.expectsSecondByte();
}

}  // namespace korvane
